#pragma once
// Dialog 138: the directory picker ("Please select a path").

namespace res::t138 {
inline constexpr int kTemplate = 138;
inline constexpr int kPath = 1099;         // edit: the path; the user may type into it
inline constexpr int kDirectories = 1101;  // list box: directory entries, then file entries
inline constexpr int kDrives = 1102;       // list box, sorted: drive roots
// OK is fw::kIdOk (the default button), Cancel fw::kIdCancel.
}  // namespace res::t138
