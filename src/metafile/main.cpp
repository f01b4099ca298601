// vistrel-metafile: draws WMF and EMF files for the viewer, in a process of its own, so that
// a file that makes a library loop, crash or eat memory costs only this process.
//
//   vistrel-metafile            serve requests on stdin, replies on stdout (metafile/protocol.h)
//   vistrel-metafile --svg FILE write the library's SVG of FILE to stdout

#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "core/viewer/pictureloadrules.h"
#include "metafile/protocol.h"
#include "metafile/render.h"

namespace {

using namespace vistrel::metafile;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif
#else
constexpr bool Sanitized = false;
#endif

// Room for the largest picture the viewer accepts plus the library's and Qt's own needs.
constexpr rlim_t AddressSpaceLimit = rlim_t{2} * 1024 * 1024 * 1024;
// Files larger than this are not read at all.
constexpr long MaxFileBytes = 256L * 1024 * 1024;

void limitResources() {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore); // a crash should end at once, not write a core file
    // The sanitizer reserves terabytes of address space up front.
    if (!Sanitized) {
        const rlimit memory{AddressSpaceLimit, AddressSpaceLimit};
        setrlimit(RLIMIT_AS, &memory);
    }
}

bool readAll(int fd, void* buffer, std::size_t size) {
    auto* at = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t got = read(fd, at, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        at += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeAll(int fd, const void* buffer, std::size_t size) {
    const auto* at = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t put = write(fd, at, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        at += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

Status readFile(const std::string& path, std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return Status::Unreadable;
    Status status = Status::Ok;
    if (std::fseek(file, 0, SEEK_END) != 0) status = Status::Unreadable;
    const long size = status == Status::Ok ? std::ftell(file) : -1;
    if (size < 0) status = Status::Unreadable;
    else if (size > MaxFileBytes) status = Status::OutOfMemory;
    if (status == Status::Ok) {
        contents.resize(static_cast<std::size_t>(size));
        std::rewind(file);
        if (std::fread(contents.data(), 1, contents.size(), file) != contents.size())
            status = Status::Unreadable;
    }
    std::fclose(file);
    return status;
}

// Takes the protocol's ends away from stdin and stdout, which libraries may print to.
bool takeProtocolChannels(int& in, int& out) {
    in = dup(STDIN_FILENO);
    out = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_RDWR);
    if (in < 0 || out < 0 || null < 0) return false;
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    close(null);
    return true;
}

int serve(int in, int out) {
    for (;;) {
        Request request;
        if (!readAll(in, &request, sizeof request)) return 0; // the viewer closed: done
        if (request.magic != RequestMagic || request.pathBytes == 0 ||
            request.pathBytes > MaxPathBytes || request.boxWidth < 0 || request.boxHeight < 0)
            return 2;
        std::string path(request.pathBytes, '\0');
        if (!readAll(in, path.data(), path.size())) return 2;

        Reply reply;
        Rendered rendered;
        std::string contents;
        reply.status = readFile(path, contents);
        if (reply.status == Status::Ok) {
            rendered = Render(contents, request.boxWidth, request.boxHeight);
            reply.status = rendered.status;
            reply.naturalWidth = rendered.naturalWidth;
            reply.naturalHeight = rendered.naturalHeight;
        }
        if (reply.status == Status::Ok) {
            reply.width = rendered.image.width();
            reply.height = rendered.image.height();
        }
        if (!writeAll(out, &reply, sizeof reply)) return 2;
        if (reply.status != Status::Ok) return 0; // a failed file may have left a mess behind
        const std::size_t rowBytes = static_cast<std::size_t>(reply.width) * 4;
        for (int y = 0; y < reply.height; ++y)
            if (!writeAll(out, rendered.image.constScanLine(y), rowBytes)) return 2;
    }
}

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

int main(int argc, char** argv) {
    limitResources();
    int in = -1, out = -1;
    if (!takeProtocolChannels(in, out)) return 2;
    qInstallMessageHandler(quiet);
    // Text needs Qt's font database, which needs a GUI application; no screen is used.
    int qtArgc = 3;
    char* qtArgv[] = {argv[0], const_cast<char*>("-platform"), const_cast<char*>("offscreen"),
                      nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    if (argc == 3 && std::strcmp(argv[1], "--svg") == 0) {
        std::string contents;
        if (readFile(argv[2], contents) != Status::Ok) return 1;
        const Svg svg = ToSvg(contents);
        if (svg.text.isEmpty()) return 1;
        return writeAll(out, svg.text.constData(), static_cast<std::size_t>(svg.text.size())) ? 0
                                                                                             : 1;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: vistrel-metafile [--svg FILE]\n");
        return 2;
    }
    return serve(in, out);
}
