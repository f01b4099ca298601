#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace vistrel::test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() : m_path(fs::temp_directory_path() / ("vistrel-test-" + Unique())) {
        fs::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        // Tests lock folders; unlock each before the walk descends into it.
        for (fs::recursive_directory_iterator it(m_path, ec), end; !ec && it != end;
             it.increment(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    std::string path(const std::string& relative = {}) const {
        return relative.empty() ? m_path.string() : (m_path / relative).string();
    }
    std::string file(const std::string& relative, const std::string& content = "x") const {
        std::ofstream(m_path / relative, std::ios::binary) << content;
        return path(relative);
    }
    std::string read(const std::string& relative) const {
        std::ifstream in(m_path / relative, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string folder(const std::string& relative) const {
        fs::create_directories(m_path / relative);
        return path(relative);
    }

private:
    static std::string Unique() {
        std::random_device seed;
        return std::to_string(seed()) + std::to_string(seed());
    }
    fs::path m_path;
};

} // namespace vistrel::test
