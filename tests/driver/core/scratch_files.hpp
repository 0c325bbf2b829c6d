#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace kelvara::test {

inline std::vector<char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A private temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/kelvara-core-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        for (const std::string& file : files_) {
            std::remove(file.c_str());
        }
        rmdir(path_.c_str());
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }

    std::string write(const std::string& name, const std::vector<char>& bytes) {
        const std::string file = path_ + "/" + name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        files_.push_back(file);
        return file;
    }

private:
    std::string path_;
    std::vector<std::string> files_;
};

// Collects what is written to file descriptor 2 while it lives.
class StderrCapture {
public:
    StderrCapture() : file_(std::tmpfile()) {
        std::fflush(stderr);
        saved_ = dup(2);
        dup2(fileno(file_), 2);
    }
    ~StderrCapture() {
        restore();
        std::fclose(file_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string text() {
        restore();
        std::string out;
        std::rewind(file_);
        for (int c; (c = std::fgetc(file_)) != EOF;) {
            out.push_back(static_cast<char>(c));
        }
        return out;
    }

private:
    void restore() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
        }
    }

    std::FILE* file_;
    int saved_ = -1;
};

} // namespace kelvara::test
