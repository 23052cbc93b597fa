#pragma once

#include <memory>
#include <string>

namespace harvina {

// The sample site of --demo: its pages served on 127.0.0.1 by a server inside
// the process (GBK, UTF-8 with and without a byte-order mark, BIG5, gzip) and
// a list file of some of their addresses in a temporary folder. Both go away
// with the object.
class DemoSite {
public:
    DemoSite();
    ~DemoSite();
    DemoSite(const DemoSite&) = delete;
    DemoSite& operator=(const DemoSite&) = delete;

    // False when the server or the list file could not be set up.
    bool Start();
    // The input box text of the demo job (local text).
    [[nodiscard]] std::string InputText() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace harvina
