#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/RegexMatcher.h"

namespace harvina {

// Which elements a scan accepts besides their tag name.
struct MarkupFilter {
    std::vector<std::string> attributeNames = {};
    std::vector<std::string> attributeValues = {}; // cut or padded to attributeNames; empty: present at all
    std::string keywords = {};                // "|"-separated, tested on the opening tag; empty: none
    bool containsValues = false; // a value matches when it contains the expected one
    bool allAttributes = false;  // every attribute must match (else any one)
    bool ignoreCase = true;
    bool innerOnly = false;      // spans and texts without the element's own tags
    bool lettersOnly = false;    // any-tag scans skip comments and declarations
};

struct MarkupQuery {
    bool allMatches = false;
    bool remove = false;         // delete the matches from the document instead of returning them
    bool raw = false;            // no tidying of blanks around "="
    int index = 0;               // all matches: 0 every one, n the n-th, -n the n-th from the end
    bool innerOnly = false;
    bool containsValues = false;
};

// Finds elements in HTML by tag name without a document tree, and reads and writes
// attribute values of element texts. Texts are local (GB18030) byte strings;
// positions are 1-based. One reader belongs to one thread.
class MarkupReader {
public:
    MarkupReader();

    // Empties the document buffers and the last element; the spans stay.
    std::string Reset();
    // Selector alternatives "|"-separated, each "tag name=value ...". With
    // query.remove the document is changed in place and returned.
    std::string Query(std::string& document, std::string_view selector, const MarkupQuery& query = {});
    // Records every element of the "|"-separated tag names (empty: any tag), the
    // names in the order given, and returns how many were recorded.
    int FindAll(std::string_view document, std::string_view tagNames, const MarkupFilter& filter = {});
    // The value of attribute `name` (trimmed, empty when absent).
    [[nodiscard]] std::string Attribute(std::string_view element, std::string_view name) const;
    // The element text with the attribute's value replaced (added when absent).
    [[nodiscard]] std::string Attribute(std::string_view element, std::string_view name,
                                        std::string_view newValue) const;
    [[nodiscard]] const std::string& LastElement() const { return lastElement_; }
    // index -1 records every match (appending when `append`) and returns the count
    // as text; index 0 returns the first match, n > 0 the n-th, empty when none.
    // A single-element scan leaves the recorded document and spans alone.
    std::string Scan(std::string_view document, std::string_view tagName, const MarkupFilter& filter,
                     int index, bool raw = false, bool append = false);
    // 1-based; empty outside 1..Count(). Unless raw, blanks around "=" are removed.
    [[nodiscard]] std::string Item(int index, bool raw = false);
    [[nodiscard]] int Count() const { return static_cast<int>(spanStarts_.size()); }
    [[nodiscard]] std::string NormalizeEquals(std::string_view text);

private:
    // Where the openings and closings of one tag name lie in `searchBuffer_`
    // (0-based, ascending), gathered once per scan so end searches never rescan.
    struct TagPlaces {
        std::vector<size_t> openings;
        std::vector<size_t> closings;
    };
    struct EndSearch; // nesting state of one element's end search

    // 0-based: the next accepted opening at or after `from`, npos when none.
    [[nodiscard]] size_t NextTagStart(std::string_view opening, size_t from) const;
    const TagPlaces& PlacesOf(std::string_view opening, std::string_view closing);
    // check clear: resets the nesting counters. Set: counts what lies between the
    // resume point and the candidate closing and says whether it balances.
    bool ClosesElement(EndSearch& search, size_t candidate, bool check) const;
    [[nodiscard]] bool AttributesMatch(std::string_view openingTag, const MarkupFilter& filter) const;
    static bool ValueMatches(std::string_view expected, const std::string (&candidates)[4], bool contains);

    std::vector<int> spanStarts_;
    std::vector<int> spanEnds_;
    std::string searchBuffer_;
    std::string sourceBuffer_;
    RegexMatcher equalsNormalizer_;
    std::string lastElement_;
    std::vector<uint32_t> tagStarts_; // every "<" of the scan's buffer, gathered on demand
    std::unordered_map<std::string, TagPlaces> places_; // by opening pattern
};

} // namespace harvina
