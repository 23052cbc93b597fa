#pragma once

#include <string>
#include <string_view>

namespace harvina {

class ExtractionHost;

// "<" becomes " <" and ">" becomes "> ", so tags never touch the text.
[[nodiscard]] std::string SpaceMarkup(std::string_view page);

// The body of one worker: fetch one page, then under the job lock show its
// title and take the domains of its text and its links. Decrements the
// job's runningCount exactly once, whatever happens.
void ProcessPage(ExtractionHost& host, const std::string& address);

} // namespace harvina
