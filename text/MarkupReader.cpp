#include "text/MarkupReader.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "platform/Charset.h"
#include "text/ContainsKeywords.h"
#include "text/LeftChars.h"
#include "text/LocalScan.h"
#include "text/ReplaceEach.h"
#include "text/ScratchText.h"
#include "text/TextBetween.h"

namespace harvina {
namespace {

constexpr size_t npos = std::string_view::npos;
// Spans are 32-bit positions: a longer document is read up to this size.
constexpr size_t kMaxDocumentBytes = size_t{1} << 30;

const std::string& IdeographicSpace()
{
    static const std::string kSpace = LocalText("　");
    return kSpace;
}

// Spaces and ideographic spaces off both ends.
std::string_view TrimBlanks(std::string_view text)
{
    const std::string& wide = IdeographicSpace();
    while (true) {
        if (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        else if (text.substr(0, wide.size()) == wide)
            text.remove_prefix(wide.size());
        else if (!text.empty() && text.back() == ' ')
            text.remove_suffix(1);
        else if (text.size() >= wide.size() && text.substr(text.size() - wide.size()) == wide)
            text.remove_suffix(wide.size());
        else
            return text;
    }
}

std::string Lowered(std::string_view text)
{
    std::string out(text);
    for (size_t i = 0; i < out.size();) {
        if (static_cast<unsigned char>(out[i]) < 0x80) {
            out[i] = FoldAscii(out[i]);
            ++i;
        } else {
            i += LocalUnitAt(out, i);
        }
    }
    return out;
}

bool ContainsFolded(std::string_view text, std::string_view needle)
{
    return FindLocal(text, needle, 0, true) != npos;
}

// Concatenation without GCC 12's false -Wrestrict on literal + temporary.
std::string Concat(std::initializer_list<std::string_view> parts)
{
    std::string out;
    for (std::string_view part : parts)
        out += part;
    return out;
}

bool IsNameByte(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); }

// Does the text need the regular expression at all? Only when some "=" has a
// neighbour that may be a blank; a single-byte neighbour that is not white space
// (and a digit that cannot end a four-byte character) rules that out.
bool MayHaveBlankAroundEquals(std::string_view text)
{
    auto blankish = [&](size_t i, bool before) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80 || c == ' ' || (c >= '\t' && c <= '\r'))
            return true;
        return before && c >= '0' && c <= '9' && i >= 1 && static_cast<unsigned char>(text[i - 1]) >= 0x81;
    };
    for (size_t at = text.find('='); at != npos; at = text.find('=', at + 1)) {
        if ((at > 0 && blankish(at - 1, true)) || (at + 1 < text.size() && blankish(at + 1, false)))
            return true;
    }
    return false;
}

struct AttributeForm {
    std::string value; // untrimmed
    std::string prefix;
    std::string quote;
};

// The reading of Attribute, noting which prefix and quote gave the value. The
// passes stop at a value or at an attribute written empty in quotes.
AttributeForm ReadAttribute(std::string_view element, std::string_view name)
{
    const std::string spaced = Concat({" ", name, "="});
    const std::string bare = std::string(name) + "=";
    // Every reading needs "name=": without it, spare the eight searches of a long element.
    if (FindLocal(element, bare, 0, true) == npos)
        return {"", spaced, ""};
    for (const std::string* prefix : {&spaced, &bare}) {
        // A reading whose head is absent is empty, so its search is spared.
        if (!ContainsFolded(element, *prefix))
            continue;
        for (std::string_view quote : {std::string_view("\""), std::string_view("'")}) {
            const std::string head = *prefix + std::string(quote);
            if (!ContainsFolded(element, head))
                continue;
            std::string value = TextBetween(element, head, quote);
            if (!value.empty() || ContainsFolded(element, head + std::string(quote)))
                return {std::move(value), *prefix, std::string(quote)};
        }
        std::string bySpace = TextBetween(element, *prefix, " ");
        std::string byBracket = TextBetween(element, *prefix, ">");
        std::string value = !byBracket.empty() && (bySpace.empty() || byBracket.size() < bySpace.size())
                                ? std::move(byBracket)
                                : std::move(bySpace);
        if (!value.empty())
            return {std::move(value), *prefix, ""};
    }
    return {"", spaced, ""};
}

} // namespace

// Nesting state of one element's end search: the two counters, plus where the
// counting resumes in the opening and closing lists (the resume point).
struct MarkupReader::EndSearch {
    const TagPlaces* places = nullptr;
    size_t nextOpening = 0;
    size_t nextClosing = 0;
    int openings = 0;
    int closings = 0;
};

MarkupReader::MarkupReader()
{
    static const std::string kPattern = LocalText("[\\s　]{0,10}=[\\s　]{0,10}");
    equalsNormalizer_.Create(kPattern);
}

std::string MarkupReader::Reset()
{
    searchBuffer_.clear();
    sourceBuffer_.clear();
    lastElement_.clear();
    return {};
}

size_t MarkupReader::NextTagStart(std::string_view opening, size_t from) const
{
    const std::string_view buffer = searchBuffer_;
    while (true) {
        // Every pattern starts with "<", which never lies inside a character.
        const size_t at = buffer.find(opening, from);
        if (at == npos)
            return npos;
        const size_t after = at + opening.size();
        if (opening.size() == 1 || after >= buffer.size() || !IsNameByte(buffer[after]))
            return at;
        from = at + 1; // "<a" met "<abbr"
    }
}

const MarkupReader::TagPlaces& MarkupReader::PlacesOf(std::string_view opening, std::string_view closing)
{
    const std::string key(opening);
    auto found = places_.find(key);
    if (found != places_.end())
        return found->second;
    const std::string_view buffer = searchBuffer_;
    if (tagStarts_.empty()) {
        for (size_t at = buffer.find('<'); at != npos; at = buffer.find('<', at + 1))
            tagStarts_.push_back(static_cast<uint32_t>(at));
    }
    TagPlaces places;
    // The byte after "<" rules out most tags before any comparison.
    auto mayStart = [&](size_t at, std::string_view tag) {
        return tag.size() < 2 || (at + 1 < buffer.size() && buffer[at + 1] == tag[1]);
    };
    for (const size_t at : tagStarts_) {
        if (mayStart(at, closing) && buffer.compare(at, closing.size(), closing) == 0) {
            places.closings.push_back(at);
        } else if (mayStart(at, opening) && buffer.compare(at, opening.size(), opening) == 0) {
            const size_t after = at + opening.size();
            if (opening.size() == 1 || after >= buffer.size() || !IsNameByte(buffer[after]))
                places.openings.push_back(at);
        }
    }
    return places_.emplace(key, std::move(places)).first->second;
}

bool MarkupReader::ClosesElement(EndSearch& search, size_t candidate, bool check) const
{
    if (!check) {
        search.openings = 0;
        search.closings = 0;
        return true;
    }
    // Each opening and closing after the resume point and before the candidate is
    // counted once; the resume point then moves past them.
    const TagPlaces& places = *search.places;
    while (search.nextOpening < places.openings.size() && places.openings[search.nextOpening] < candidate) {
        ++search.openings;
        ++search.nextOpening;
    }
    while (search.nextClosing < places.closings.size() && places.closings[search.nextClosing] < candidate) {
        ++search.closings;
        ++search.nextClosing;
    }
    return search.openings == search.closings;
}

bool MarkupReader::ValueMatches(std::string_view expected, const std::string (&candidates)[4], bool contains)
{
    if (contains) {
        return std::any_of(std::begin(candidates), std::end(candidates),
                           [&](const std::string& c) { return ContainsFolded(c, expected); });
    }
    const std::string wanted = Lowered(expected);
    return std::any_of(std::begin(candidates), std::end(candidates),
                       [&](const std::string& c) { return Lowered(TrimBlanks(c)) == wanted; });
}

bool MarkupReader::AttributesMatch(std::string_view openingTag, const MarkupFilter& filter) const
{
    bool matched = true;
    for (size_t k = 0; k < filter.attributeNames.size(); ++k) {
        const std::string& name = filter.attributeNames[k];
        const std::string expected = k < filter.attributeValues.size() ? filter.attributeValues[k] : std::string();
        const std::string prefix = Concat({" ", name, "="});
        if (expected.empty()) {
            matched = ContainsFolded(openingTag, prefix);
        } else {
            const std::string candidates[4] = {
                TextBetween(openingTag, prefix + "\"", "\""),
                TextBetween(openingTag, prefix + "'", "'"),
                TextBetween(openingTag, prefix, " "),
                TextBetween(openingTag, prefix, ">"),
            };
            matched = ValueMatches(expected, candidates, filter.containsValues);
        }
        // With all attributes the first mismatch rejects; without, the first match accepts.
        if (matched != filter.allAttributes)
            break;
    }
    return matched;
}

int MarkupReader::FindAll(std::string_view document, std::string_view tagNames, const MarkupFilter& filter)
{
    if (tagNames.empty()) {
        Scan(document, {}, filter, -1);
        return Count();
    }
    bool append = false;
    size_t start = 0;
    while (true) {
        const size_t bar = tagNames.find('|', start);
        Scan(document, tagNames.substr(start, bar == npos ? npos : bar - start), filter, -1, false, append);
        append = true;
        if (bar == npos)
            return Count();
        start = bar + 1;
    }
}

std::string MarkupReader::Scan(std::string_view document, std::string_view tagName, const MarkupFilter& filter,
                               int index, bool raw, bool append)
{
    const bool collect = index < 0;
    document = document.substr(0, kMaxDocumentBytes);
    std::string kept;
    if (collect) {
        if (!append) {
            spanStarts_.clear();
            spanEnds_.clear();
        }
    } else {
        kept = std::move(sourceBuffer_);
    }
    sourceBuffer_.assign(document);
    // The lowered copy lives for this scan only, in a buffer the thread keeps.
    ScratchText search;
    searchBuffer_.swap(search.Text());
    if (filter.ignoreCase)
        LowerBytes(document, searchBuffer_);
    else
        searchBuffer_.assign(document);
    tagStarts_.clear();
    places_.clear();
    const std::string name = filter.ignoreCase ? Lowered(tagName) : std::string(tagName);
    const std::string scanOpening = Concat({"<", name});
    const std::string scanClosing = name.empty() ? std::string() : Concat({"</", name, ">"});
    const std::string_view source = sourceBuffer_;

    auto finish = [&](std::string result) {
        searchBuffer_.clear();
        searchBuffer_.swap(search.Text());
        tagStarts_.clear();
        places_.clear();
        if (!collect)
            sourceBuffer_ = std::move(kept);
        return result;
    };

    int counted = 0;
    // The first ">" after the latest start: positions only grow, so it stays right
    // until a start passes it, and a missing one stays missing.
    size_t nextBracket = npos;
    bool bracketKnown = false;
    for (size_t position = NextTagStart(scanOpening, 0); position != npos;
         position = NextTagStart(scanOpening, position + 1)) {
        if (!bracketKnown || nextBracket <= position) {
            nextBracket = searchBuffer_.find('>', position + 1);
            bracketKnown = true;
        }
        const size_t close = nextBracket;
        if (close == npos)
            break; // no ">" after this start, so none after any later one
        const std::string_view openingTag = source.substr(position, close - position + 1);
        if (openingTag.size() >= 2 && openingTag[1] == '/')
            continue;
        if (!filter.attributeNames.empty() && !AttributesMatch(openingTag, filter))
            continue;
        if (!filter.keywords.empty() &&
            !ContainsKeywords(openingTag, filter.keywords, {.anyOne = !filter.allAttributes}))
            continue;
        if (index > 0 && ++counted != index)
            continue;

        std::string_view opening = scanOpening;
        std::string_view closing = scanClosing;
        std::string ownOpening;
        std::string ownClosing;
        if (name.empty()) {
            if (filter.lettersOnly && !(openingTag.size() >= 2 && FoldAscii(openingTag[1]) >= 'a' &&
                                        FoldAscii(openingTag[1]) <= 'z'))
                continue;
            std::string_view own = openingTag.substr(1, openingTag.size() - 2);
            const size_t space = own.find(' ');
            own = own.substr(0, space != npos ? space : own.find("\r\n"));
            ownOpening = Concat({"<", filter.ignoreCase ? Lowered(own) : std::string(own)});
            ownClosing = Concat({"</", std::string_view(ownOpening).substr(1), ">"});
            opening = ownOpening;
            closing = ownClosing;
        }

        const size_t tagEnd = close + 1;
        const bool selfClosing = openingTag.size() >= 2 && openingTag.substr(openingTag.size() - 2) == "/>";
        size_t end = tagEnd;
        size_t closingAt = npos;
        if (!selfClosing) {
            EndSearch search;
            search.places = &PlacesOf(opening, closing);
            const auto& openings = search.places->openings;
            const auto& closings = search.places->closings;
            search.nextOpening = static_cast<size_t>(std::upper_bound(openings.begin(), openings.end(), position) - openings.begin());
            search.nextClosing = static_cast<size_t>(std::upper_bound(closings.begin(), closings.end(), position) - closings.begin());
            ClosesElement(search, position, false);
            for (size_t c = search.nextClosing; c < closings.size(); ++c) {
                if (ClosesElement(search, closings[c], true)) {
                    closingAt = closings[c];
                    end = closingAt + closing.size();
                    break;
                }
            }
        }

        if (collect) {
            size_t start = position;
            if (filter.innerOnly) {
                start = tagEnd;
                end = closingAt == npos ? start : closingAt;
            }
            spanStarts_.push_back(static_cast<int>(start + 1));
            spanEnds_.push_back(static_cast<int>(end + 1));
            continue;
        }

        std::string element(source.substr(position, end - position));
        if (filter.innerOnly) {
            if (selfClosing) {
                element.clear();
            } else {
                const size_t own = FindLocal(element, openingTag, 0, true);
                if (own != npos)
                    element.erase(own, openingTag.size());
                element = LeftChars(element, -static_cast<int>(closing.size()));
            }
        }
        if (!raw)
            element = NormalizeEquals(element);
        lastElement_ = element;
        return finish(std::move(element));
    }
    return finish(collect ? std::to_string(Count()) : std::string());
}

std::string MarkupReader::Item(int index, bool raw)
{
    if (index < 1 || index > Count())
        return {};
    const auto start = static_cast<size_t>(spanStarts_[static_cast<size_t>(index - 1)] - 1);
    const auto end = static_cast<size_t>(spanEnds_[static_cast<size_t>(index - 1)] - 1);
    if (end > sourceBuffer_.size() || start > end)
        return {};
    const std::string_view text = std::string_view(sourceBuffer_).substr(start, end - start);
    return raw ? std::string(text) : NormalizeEquals(text);
}

std::string MarkupReader::NormalizeEquals(std::string_view text)
{
    if (!MayHaveBlankAroundEquals(text))
        return std::string(text);
    return equalsNormalizer_.Replace(text, "=");
}

std::string MarkupReader::Attribute(std::string_view element, std::string_view name) const
{
    return std::string(TrimBlanks(ReadAttribute(element, name).value));
}

std::string MarkupReader::Attribute(std::string_view element, std::string_view name, std::string_view newValue) const
{
    std::string out(element);
    const std::string spaced = Concat({" ", name, "="});
    if (!ContainsFolded(out, spaced)) {
        size_t at = out.find("/>");
        if (at == npos)
            at = out.find('>');
        if (at != npos)
            out.insert(at, spaced + "\"\"");
    }
    AttributeForm form = ReadAttribute(out, name);
    if (form.value == "\"\"" || form.value == "''")
        form.value.clear();
    const std::string from = form.prefix + form.quote + form.value;
    const size_t at = FindLocal(out, from, 0, true);
    if (at != npos)
        out.replace(at, from.size(), form.prefix + form.quote + std::string(newValue));
    return out;
}

std::string MarkupReader::Query(std::string& document, std::string_view selector, const MarkupQuery& query)
{
    const std::string alternatives = ReplaceEach(selector, "<|>");
    std::string joined;
    bool first = true;
    size_t start = 0;
    while (start <= alternatives.size()) {
        size_t bar = alternatives.find('|', start);
        if (bar == npos)
            bar = alternatives.size();
        const std::string_view alternative = TrimBlanks(std::string_view(alternatives).substr(start, bar - start));
        start = bar + 1;
        if (alternative.empty())
            continue;

        const std::string_view tagName = alternative.substr(0, alternative.find(' '));
        MarkupFilter filter;
        filter.containsValues = query.containsValues;
        filter.allAttributes = true;
        filter.innerOnly = query.innerOnly;
        // The brackets are gone from the selector; one put back ends a bare last value.
        const std::string readable = std::string(alternative) + ">";
        for (size_t p = 0; p <= alternative.size();) {
            size_t space = alternative.find(' ', p);
            if (space == npos)
                space = alternative.size();
            const std::string_view part = alternative.substr(p, space - p);
            p = space + 1;
            const size_t eq = part.find('=');
            if (eq == npos)
                continue;
            const std::string_view partName = part.substr(0, eq);
            const std::string_view partValue = part.substr(eq + 1, part.find('=', eq + 1) - eq - 1);
            if (partName.empty() || partValue.empty())
                continue;
            filter.attributeNames.emplace_back(partName);
            filter.attributeValues.push_back(Attribute(readable, partName));
        }

        std::string output;
        if (query.allMatches) {
            const int n = FindAll(document, tagName, filter);
            for (int j = 1; j <= n; ++j) {
                if (!(query.index == 0 || query.index == j || (query.index < 0 && j == n + query.index + 1)))
                    continue;
                if (query.remove) {
                    const std::string item = Item(j, true);
                    const size_t at = item.empty() ? npos : document.find(item);
                    if (at != npos)
                        document.erase(at, item.size());
                } else {
                    output += Item(j, query.raw);
                    output += "\r\n";
                }
            }
        } else {
            std::string element = Scan(document, tagName, filter, 0, query.remove || query.raw);
            if (query.remove) {
                const size_t at = element.empty() ? npos : document.find(element);
                if (at != npos)
                    document.erase(at, element.size());
            } else {
                output = std::move(element);
            }
        }
        if (!first)
            joined += "\r\n";
        joined += output;
        first = false;
    }
    return query.remove ? document : joined;
}

} // namespace harvina
