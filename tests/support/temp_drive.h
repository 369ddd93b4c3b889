#pragma once
// A throw-away drive for code that browses the file system (the directory picker): a fresh
// empty folder that drive C: (or another letter) stands for, filled by the test. Standard
// library only.
//
//   testsupport::TempDrive drive;           // C:\ is now an empty temporary folder
//   drive.MakeFolder("A\\B");               // C:\A\B
//   drive.MakeFile("A\\x.dat");             // C:\A\x.dat
//   ... run the picker ...
//
// The drive letters are mapped to folders only where the system has none
// (platform::kDrivesAreMapped); elsewhere the folder is a scratch folder and Root() is not it,
// so tests that rely on the mapping skip there. For its lifetime the fixture owns the process's
// current directory and the drive mapping: the destructor puts back the directory and the
// mappings it found and removes the folder.

#include <filesystem>
#include <map>
#include <string>

namespace testsupport {

class TempDrive {
  public:
    explicit TempDrive(char letter = 'C');
    ~TempDrive();
    TempDrive(const TempDrive&) = delete;
    TempDrive& operator=(const TempDrive&) = delete;

    // "C:\".
    std::string Root() const;
    // The folder of this machine that the drive stands for.
    const std::filesystem::path& Folder() const { return folder_; }
    // The folder of this machine for `relative` ("A\B", backslashes or slashes) below the root.
    std::filesystem::path Host(const std::string& relative) const;

    // Creates the folder `relative` (and its parents); a file `relative` with `content`.
    void MakeFolder(const std::string& relative) const;
    void MakeFile(const std::string& relative, const std::string& content = "") const;
    // Removes a file or a folder with everything in it, as another program would.
    void Remove(const std::string& relative) const;

  private:
    char letter_;
    std::filesystem::path folder_;
    std::filesystem::path savedDirectory_;
    std::map<char, std::string> savedMappings_;
};

}  // namespace testsupport
