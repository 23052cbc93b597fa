#include "cli/DemoSite.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <unistd.h>
#include <zlib.h>

#include <httplib.h>

#include "cli/EmbeddedFiles.h"
#include "platform/Charset.h"

namespace harvina {

namespace {

constexpr std::string_view kListFileName = "list.txt";
constexpr std::string_view kListOnDisk = "示例网址列表.txt";

// How a stored (UTF-8) page goes over the wire.
struct DemoPage {
    std::string_view file;
    const char* charset;   // nullptr: the stored UTF-8 bytes
    bool byteOrderMark;
    bool gzip;
    const char* contentType;
};

constexpr std::array<DemoPage, 5> kPages {{
    {"index.html", nullptr, false, false, "text/html; charset=utf-8"},
    {"gbk.html", "GBK", false, false, "text/html"},
    {"bom.html", nullptr, true, false, "text/html"},
    {"big5.html", "BIG5", false, false, "text/html"},
    {"gzip.html", nullptr, false, true, "text/html; charset=utf-8"},
}};

std::string_view StoredFile(std::string_view name)
{
    for (const EmbeddedFile& file : DemoFiles())
        if (file.name == name)
            return file.bytes;
    return {};
}

std::string Gzip(std::string_view bytes)
{
    z_stream stream {};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    struct End {
        z_stream* s;
        ~End() { deflateEnd(s); }
    } end {&stream};
    std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
        return {};
    out.resize(stream.total_out);
    return out;
}

std::string WireBytes(const DemoPage& page)
{
    std::string bytes(StoredFile(page.file));
    if (page.charset)
        bytes = ConvertBytes(bytes, "UTF-8", page.charset);
    if (page.byteOrderMark)
        bytes.insert(0, "\xEF\xBB\xBF");
    if (page.gzip)
        bytes = Gzip(bytes);
    return bytes;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

struct DemoSite::Impl {
    httplib::Server server;
    std::thread thread;
    std::string baseUrl;
    std::string folder;   // native path of the temporary folder
    std::string listPath; // native path of the list file

    ~Impl()
    {
        if (thread.joinable()) {
            server.stop();
            thread.join();
        }
        if (!listPath.empty())
            ::unlink(listPath.c_str());
        if (!folder.empty())
            ::rmdir(folder.c_str());
    }
};

DemoSite::DemoSite() : impl_(std::make_unique<Impl>()) {}
DemoSite::~DemoSite() = default;

bool DemoSite::Start()
{
    for (const DemoPage& page : kPages) {
        std::string bytes = WireBytes(page);
        const char* contentType = page.contentType;
        const bool gzip = page.gzip;
        std::string route = "/";
        route.append(page.file);
        impl_->server.Get(route,
                          [bytes, contentType, gzip](const httplib::Request&, httplib::Response& response) {
                              if (gzip)
                                  response.set_header("Content-Encoding", "gzip");
                              response.set_content(bytes, contentType);
                          });
    }
    const int port = impl_->server.bind_to_any_port("127.0.0.1");
    if (port <= 0)
        return false;
    impl_->thread = std::thread([this] { impl_->server.listen_after_bind(); });
    // A stop before the accept loop runs would be lost.
    while (!impl_->server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    impl_->baseUrl = "http://127.0.0.1:" + std::to_string(port);

    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/harvina-demo-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return false;
    impl_->folder = pattern;
    impl_->listPath = impl_->folder;
    impl_->listPath.append("/").append(kListOnDisk);
    const std::string list = ReplaceAll(ReplaceAll(std::string(StoredFile(kListFileName)), "{BASE}", impl_->baseUrl),
                                        "\n", "\r\n");
    std::ofstream out(impl_->listPath, std::ios::binary);
    out << list;
    return static_cast<bool>(out.flush());
}

std::string DemoSite::InputText() const
{
    const std::string& base = impl_->baseUrl;
    return base + "/index.html\r\n" + base + "/bom.html\r\n" + LocalPath(impl_->listPath) + "\r\n" + base +
           "/index.html";
}

} // namespace harvina
