// MarkupReader on random documents: FindAll with random names and filters, Item,
// Attribute read and write, single-element Scan, Query, Reset.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "tests/fuzz/FuzzHost.h"
#include "text/MarkupReader.h"
#include "text/TextSearch.h"

using namespace harvina;

namespace {

std::string PickName(FuzzedDataProvider& in)
{
    static const char* const kNames[] = {"a", "img", "a|img", "", "div", "A", "href", "src"};
    const size_t i = in.ConsumeIntegralInRange<size_t>(0, std::size(kNames));
    return i < std::size(kNames) ? kNames[i] : in.ConsumeRandomLengthString(8);
}

MarkupFilter PickFilter(FuzzedDataProvider& in)
{
    MarkupFilter filter;
    const int names = in.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < names; ++i)
        filter.attributeNames.push_back(PickName(in));
    const int values = in.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < values; ++i)
        filter.attributeValues.push_back(in.ConsumeRandomLengthString(8));
    if (in.ConsumeBool())
        filter.keywords = in.ConsumeRandomLengthString(12);
    filter.containsValues = in.ConsumeBool();
    filter.allAttributes = in.ConsumeBool();
    filter.ignoreCase = in.ConsumeBool();
    filter.innerOnly = in.ConsumeBool();
    filter.lettersOnly = in.ConsumeBool();
    return filter;
}

bool IsAscii(const std::string& text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool IsPlainValue(const std::string& value)
{
    if (value.empty())
        return false;
    for (const char c : value) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

void ReadAndWriteAttributes(const MarkupReader& reader, const std::string& element, const std::string& name,
                            const std::string& newValue)
{
    (void)reader.Attribute(element, name);
    const std::string written = reader.Attribute(element, name, newValue);
    // An href added to an ASCII element that had none, with quotes nowhere, reads back as written.
    if (name == "href" && IsPlainValue(newValue) && IsAscii(element) && element.find('>') != std::string::npos &&
        element.find_first_of("\"'") == std::string::npos && FindLocalText(element, "href", 1, true) < 0 &&
        reader.Attribute(written, name) != newValue)
        fuzz::Fail("written attribute does not read back", written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string names = PickName(in);
    const MarkupFilter filter = PickFilter(in);
    const std::string attribute = PickName(in);
    const std::string newValue = in.ConsumeRandomLengthString(8);
    const std::string selector = in.ConsumeRandomLengthString(32);
    MarkupQuery query;
    query.allMatches = in.ConsumeBool();
    query.remove = in.ConsumeBool();
    query.raw = in.ConsumeBool();
    query.index = in.ConsumeIntegralInRange(-3, 3);
    query.innerOnly = in.ConsumeBool();
    query.containsValues = in.ConsumeBool();
    const int single = in.ConsumeIntegralInRange(0, 3);
    std::string document = in.ConsumeRemainingBytesAsString();

    MarkupReader reader;
    const int count = reader.FindAll(document, names, filter);
    if (count != reader.Count() || count < 0)
        fuzz::Fail("FindAll and Count disagree", document);
    if (!reader.Item(0).empty() || !reader.Item(count + 1).empty())
        fuzz::Fail("Item outside 1..Count is not empty", document);
    for (int k = 1; k <= count; ++k) {
        const std::string raw = reader.Item(k, true);
        if (document.find(raw) == std::string::npos)
            fuzz::Fail("raw item is not a part of the document", raw);
        const std::string item = reader.Item(k);
        if (item.size() > raw.size())
            fuzz::Fail("tidying blanks around = grew the item", raw);
        ReadAndWriteAttributes(reader, item, attribute, newValue);
        ReadAndWriteAttributes(reader, item, "href", newValue);
    }

    // A single-element scan leaves the recorded document and spans as they were.
    const std::string first = count > 0 ? reader.Item(1, true) : std::string();
    (void)reader.Scan(document, PickName(in), filter, single);
    if (reader.Count() != count || (count > 0 && reader.Item(1, true) != first))
        fuzz::Fail("single scan changed the recorded spans", document);
    (void)reader.LastElement();

    const std::string before = document;
    const std::string result = reader.Query(document, selector, query);
    if (query.remove && result != document)
        fuzz::Fail("Query with remove does not return the changed document", before);
    if (query.remove && document.size() > before.size())
        fuzz::Fail("Query with remove grew the document", before);

    (void)reader.Reset();
    if (!reader.Item(1).empty())
        fuzz::Fail("Item after Reset is not empty", before);
    return 0;
}
