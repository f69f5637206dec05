// A scratch folder for one test, removed with everything in it afterwards.
#ifndef SUBCLIENTCONF_TESTS_SUPPORT_TEMPDIR_H
#define SUBCLIENTCONF_TESTS_SUPPORT_TEMPDIR_H

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Creates name (a file, or a folder when it ends with '/') with the given content; returns its full path.
    std::string write(const std::string& name, const std::string& content) const;
    void make(const std::string& name, const std::string& content = "") const { write(name, content); }
    static std::string read(const std::string& path);

private:
    std::string path_;
};

#endif
