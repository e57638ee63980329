#include "FuzzSupport.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

namespace {

std::string g_strScratch;

// Empties and removes the scratch directory when the run ends normally.
void RemoveScratch() {
    if (DIR* d = opendir(g_strScratch.c_str())) {
        while (const dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") {
                unlink((g_strScratch + "/" + name).c_str());
            }
        }
        closedir(d);
    }
    rmdir(g_strScratch.c_str());
}

}  // namespace

std::string FuzzScratchDir() {
    static const std::string dir = [] {
        const char* base = std::getenv("TT_FUZZ_SCRATCH");
        struct stat st {};
        std::string root =
            base && *base ? base : (stat("/dev/shm", &st) == 0 ? "/dev/shm" : "/tmp");
        std::string path = root + "/tt-fuzz-" + std::to_string(getpid());
        FUZZ_CHECK(mkdir(path.c_str(), 0700) == 0 || errno == EEXIST);
        g_strScratch = path;
        std::atexit(RemoveScratch);
        return path;
    }();
    return dir;
}

std::vector<unsigned char> FuzzReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

void FuzzWriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    FUZZ_CHECK(out.good());
}

void FuzzRemoveFile(const std::string& path) {
    unlink(path.c_str());
}
