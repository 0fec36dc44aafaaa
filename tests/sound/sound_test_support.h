// What the sound tests share: the handle of the test program's own module (whose resources carry
// the cockpit sounds), a recorder of mixer requests, and files in a scratch folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "sound/mixer.h"

namespace tarvenol::snd::test {

inline std::uintptr_t own_module() {
#ifdef _WIN32
    return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
#else
    return 0;
#endif
}

struct Request {
    mixer::RequestKind kind;
    std::string name;
    int32_t volume;
    bool operator==(const Request&) const = default;
};

// Records every request the mixer is told of while it lives.
class RequestLog {
public:
    RequestLog() { mixer::set_observer(&RequestLog::record, this); }
    ~RequestLog() { mixer::set_observer(nullptr, nullptr); }
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    std::vector<Request> requests;

    std::vector<std::string> names_of(mixer::RequestKind kind) const {
        std::vector<std::string> names;
        for (const Request& r : requests)
            if (r.kind == kind) names.push_back(r.name);
        return names;
    }

private:
    static void record(void* self, const mixer::SoundRequest& r) {
        static_cast<RequestLog*>(self)->requests.push_back({r.kind, r.name, r.volume});
    }
};

// A file in the test's scratch folder, removed when the test ends.
class ScratchFile {
public:
    ScratchFile(const std::string& name, const std::vector<uint8_t>& bytes)
        : path_(std::filesystem::temp_directory_path() / ("tarvenol-sound-" + name)) {
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
    }
    ~ScratchFile() { std::filesystem::remove(path_); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

}  // namespace tarvenol::snd::test
