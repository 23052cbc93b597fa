// Certificates are verified: a server whose certificate no authority signed gets no request.
#include "web/WebClient.h"

#include <arpa/inet.h>
#include <atomic>
#include <curl/curl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace harvina {
namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertDeleter {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct ContextDeleter {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
struct SslDeleter {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};
struct FileDeleter {
    void operator()(FILE* file) const { fclose(file); }
};
struct CurlDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

// A self-signed certificate for 127.0.0.1, written as PEM.
void WriteSelfSigned(const std::filesystem::path& certFile, const std::filesystem::path& keyFile)
{
    std::unique_ptr<EVP_PKEY, KeyDeleter> key(EVP_EC_gen("P-256"));
    std::unique_ptr<X509, CertDeleter> cert(X509_new());
    if (!key || !cert)
        throw std::runtime_error("key or certificate");
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -60);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 3600);
    X509_set_pubkey(cert.get(), key.get());
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    X509V3_CTX v3;
    X509V3_set_ctx_nodb(&v3);
    X509V3_set_ctx(&v3, cert.get(), cert.get(), nullptr, nullptr, 0);
    X509_EXTENSION* san = X509V3_EXT_conf_nid(nullptr, &v3, NID_subject_alt_name, "IP:127.0.0.1");
    X509_add_ext(cert.get(), san, -1);
    X509_EXTENSION_free(san);
    X509_sign(cert.get(), key.get(), EVP_sha256());
    std::unique_ptr<FILE, FileDeleter> certOut(fopen(certFile.c_str(), "w"));
    std::unique_ptr<FILE, FileDeleter> keyOut(fopen(keyFile.c_str(), "w"));
    PEM_write_X509(certOut.get(), cert.get());
    PEM_write_PrivateKey(keyOut.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr);
}

// Serves "secure" over TLS on 127.0.0.1 to anyone who completes the handshake.
class TlsServer {
public:
    TlsServer(const std::filesystem::path& certFile, const std::filesystem::path& keyFile)
        : context_(SSL_CTX_new(TLS_server_method()))
    {
        SSL_CTX_use_certificate_file(context_.get(), certFile.c_str(), SSL_FILETYPE_PEM);
        SSL_CTX_use_PrivateKey_file(context_.get(), keyFile.c_str(), SSL_FILETYPE_PEM);
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd_, 8) != 0)
            throw std::runtime_error("bind");
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Loop(); });
    }
    ~TlsServer()
    {
        stopping_ = true;
        thread_.join();
        close(fd_);
    }
    std::string Url() const { return "https://127.0.0.1:" + std::to_string(port_) + "/"; }
    int Served() const { return served_.load(); }

private:
    void Loop()
    {
        while (!stopping_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            const int client = accept(fd_, nullptr, nullptr);
            if (client < 0)
                continue;
            timeval limit{2, 0};
            setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
            std::unique_ptr<SSL, SslDeleter> ssl(SSL_new(context_.get()));
            SSL_set_fd(ssl.get(), client);
            if (SSL_accept(ssl.get()) == 1) {
                char buffer[4096];
                SSL_read(ssl.get(), buffer, sizeof buffer);
                const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\nConnection: close\r\n\r\nsecure";
                SSL_write(ssl.get(), reply.data(), static_cast<int>(reply.size()));
                SSL_shutdown(ssl.get());
                ++served_;
            }
            close(client);
        }
    }

    std::unique_ptr<SSL_CTX, ContextDeleter> context_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> served_{0};
    std::thread thread_;
};

size_t Collect(char* data, size_t size, size_t count, void* out)
{
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

TEST(Tls, UntrustedCertificateGivesNothing)
{
    const auto dir = std::filesystem::temp_directory_path() / ("harvina-tls-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    WriteSelfSigned(dir / "cert.pem", dir / "key.pem");
    {
        TlsServer server(dir / "cert.pem", dir / "key.pem");

        // The server is sound: trusting its certificate explicitly, libcurl gets the page.
        std::unique_ptr<CURL, CurlDeleter> easy(curl_easy_init());
        std::string body;
        curl_easy_setopt(easy.get(), CURLOPT_URL, server.Url().c_str());
        curl_easy_setopt(easy.get(), CURLOPT_CAINFO, (dir / "cert.pem").c_str());
        curl_easy_setopt(easy.get(), CURLOPT_PROXY, "");
        curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, &Collect);
        curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
        ASSERT_EQ(curl_easy_perform(easy.get()), CURLE_OK);
        ASSERT_EQ(body, "secure");

        EXPECT_EQ(WebClient().FetchWithWinHttp(server.Url(), 5.0), "");
        std::string url = server.Url();
        WinInetFetchOptions threaded;
        EXPECT_EQ(WebClient().FetchWithWinInet(url, 5.0, threaded), "");
        WinInetFetchOptions direct;
        direct.direct = true;
        EXPECT_EQ(WebClient().FetchWithWinInet(url, 5.0, direct), "");
        EXPECT_EQ(server.Served(), 1);
    }
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace harvina
