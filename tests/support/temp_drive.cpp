#include "tests/support/temp_drive.h"

#include <fstream>
#include <random>
#include <stdexcept>

#include "platform/file_system.h"
#include "platform/windows_path.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

fs::path MakeScratchFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path folder =
            fs::temp_directory_path() / ("vlx-drive-" + std::to_string(random() % 1000000000u));
        std::error_code ec;
        if (fs::create_directory(folder, ec)) {
            return folder;
        }
    }
    throw std::runtime_error("TempDrive: cannot create a scratch folder");
}

}  // namespace

TempDrive::TempDrive(char letter) : letter_(letter) {
    std::error_code ec;
    savedDirectory_ = fs::current_path(ec);
    savedMappings_ = platform::DriveMappings();
    folder_ = MakeScratchFolder();
    platform::SetDriveMapping(letter_, folder_.string());
}

TempDrive::~TempDrive() {
    std::error_code ec;
    if (!savedDirectory_.empty()) {
        fs::current_path(savedDirectory_, ec);
    }
    if (platform::kDrivesAreMapped) {
        for (const auto& [letter, folder] : platform::DriveMappings()) {
            platform::RemoveDriveMapping(letter);
        }
        for (const auto& [letter, folder] : savedMappings_) {
            platform::SetDriveMapping(letter, folder);
        }
    }
    fs::remove_all(folder_, ec);
}

std::string TempDrive::Root() const {
    return platform::DriveRoot(letter_);
}

fs::path TempDrive::Host(const std::string& relative) const {
    fs::path host = folder_;
    std::string name;
    for (const char c : relative + "\\") {
        if (c == '\\' || c == '/') {
            if (!name.empty()) {
                host /= name;
            }
            name.clear();
        } else {
            name += c;
        }
    }
    return host;
}

void TempDrive::MakeFolder(const std::string& relative) const {
    fs::create_directories(Host(relative));
}

void TempDrive::MakeFile(const std::string& relative, const std::string& content) const {
    const fs::path host = Host(relative);
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << content;
}

void TempDrive::Remove(const std::string& relative) const {
    fs::remove_all(Host(relative));
}

}  // namespace testsupport
