// A fresh folder below the system's temporary folder for one test, removed with everything
// in it when the test is done. Its name carries the process id and a counter, so parallel
// test processes and repeated fixtures never share one.
#pragma once

#include <atomic>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace vorn::test {

struct ScratchFolder {
    explicit ScratchFolder(const std::string& name = "scratch") : path(MakeName(name)) {
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path() const { return path.string(); }
    std::string File(const std::string& name) const { return (path / name).string(); }
    size_t Count() const { return size_t(std::distance(std::filesystem::directory_iterator(path), {})); }

    const std::filesystem::path path;

private:
    static std::filesystem::path MakeName(const std::string& name) {
        static std::atomic<unsigned> counter{0};
        static const unsigned salt = std::random_device{}();
        return std::filesystem::temp_directory_path() /
               ("vorn-" + name + "-" + std::to_string(salt) + "-" + std::to_string(counter++));
    }
};

}  // namespace vorn::test
