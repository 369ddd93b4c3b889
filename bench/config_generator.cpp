#include "bench/config_generator.h"

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "tests/support/reg_model.h"

namespace bench {

namespace {

using registry::RegKeyNode;
using registry::RegRoot;

constexpr const char* kMaker = "Software\\VORNA Roboter GmbH";
constexpr const char* kOstrix = "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix";
constexpr const char* kManager = "Software\\VORNA Roboter GmbH\\Quorin3\\Manager";
constexpr const char* kVersion = "Software\\VORNA Roboter GmbH\\Version";

constexpr const char* kLevels[] = {"Admin", "DEFAULT", "Demo", "Expert", "User"};
constexpr const char* kMethodLevels[] = {"Default", "Demo", "User", "Expert", "Admin"};
constexpr const char* kTemplateLevels[] = {"Demo", "User", "Expert", "Admin"};
constexpr const char* kColumns[] = {"Attributes", "Comment",     "DataSize",     "EditMode",
                                    "Extension",  "Release",     "Size",         "SourceSize",
                                    "timeAccess", "timeCreated", "timeModified", "User"};
constexpr const char* kVolumes[] = {"ARCHIV", "CD", "FD", "HD", "VLX", "NET"};
constexpr const char* kMasks[] = {"*.src", "*.dat", "*.sub", "*.txt", "*.zip", "*.ibg", "*.*"};
constexpr const char* kWords[] = {"programs",  "data lists", "service", "archives", "motion",
                                  "protocols", "tools",      "cell",    "welding",  "palletising"};

// Deterministic numbers (xorshift), so every run writes the same file.
class Numbers {
  public:
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<uint32_t>(state_ >> 16);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

  private:
    uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

std::string Format(const char* format, long a, long b = 0) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

class Builder {
  public:
    explicit Builder(GeneratedConfiguration* out) : out_(out) {}

    // The key at `path` below `root`, created with its parents.
    RegKeyNode* Key(RegRoot root, std::string_view path) {
        RegKeyNode* node = &tree_.Root(root);
        while (!path.empty()) {
            const size_t slash = path.find('\\');
            bool created = false;
            node = node->AddSubkey(path.substr(0, slash), &created);
            out_->keys += created ? 1 : 0;
            if (slash == std::string_view::npos)
                break;
            path.remove_prefix(slash + 1);
        }
        return node;
    }
    RegKeyNode* Key(const std::string& path) { return Key(RegRoot::LocalMachine, path); }
    RegKeyNode* Child(RegKeyNode* parent, const std::string& name) {
        bool created = false;
        RegKeyNode* node = parent->AddSubkey(name, &created);
        out_->keys += created ? 1 : 0;
        return node;
    }

    void Text(RegKeyNode* key, std::string_view name, std::string_view text) {
        std::vector<uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        Raw(key, name, 1, std::move(data));
    }
    void Number(RegKeyNode* key, std::string_view name, uint32_t value) {
        Raw(key, name, 4,
            {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
             static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
    }
    void Raw(RegKeyNode* key, std::string_view name, uint32_t type, std::vector<uint8_t> data) {
        const size_t before = key->Values().size();
        key->SetValue(name, type, std::move(data));
        out_->values += key->Values().size() - before;
    }

    const registry::RegTree& Tree() const { return tree_; }

  private:
    GeneratedConfiguration* out_;
    registry::RegTree tree_;
};

// A count of the configuration at scale 1, at the given scale (at least 1).
int Count(int atScaleOne, double scale) {
    const double n = atScaleOne * scale + 0.5;
    return n < 1 ? 1 : static_cast<int>(n);
}

std::string FilterName(int i) {
    return Format("Filter %05ld ", i) + kWords[i % 10];
}

std::string TemplateName(int i) {
    return Format("Template %05ld", i);
}

void Display(Builder& b) {
    const std::string display = std::string(kOstrix) + "\\Display\\";
    for (int level = 0; level < 5; ++level) {
        const std::string base = display + kLevels[level];
        for (int column = 0; column <= 12; ++column) {
            RegKeyNode* key = b.Key(base + "\\List\\Columns\\" + std::to_string(column));
            // Label first, then the twelve others in an order of the level's own.
            b.Text(key, "", column == 0 ? "Label" : kColumns[(column - 1 + level * 5) % 12]);
            b.Number(key, "Width", 60 + 10 * static_cast<uint32_t>((column + level) % 10));
        }
        RegKeyNode* sort = b.Key(base + "\\List\\Sort");
        b.Text(sort, "", std::to_string(level * 2));
        b.Number(sort, "Descending", level % 2);
        RegKeyNode* volumes = b.Key(base + "\\Tree\\Volumes");
        for (int v = 0; v < 6; ++v)
            b.Number(volumes, kVolumes[v], (v + level) % 3 != 0 ? 1 : 0);
    }
}

void Filters(Builder& b, double scale, Numbers& n) {
    const int count = Count(2000, scale);
    RegKeyNode* filters = b.Key(std::string(kOstrix) + "\\Filter");
    for (int i = 0; i < count; ++i) {
        RegKeyNode* key = b.Child(filters, FilterName(i));
        b.Text(key, "Mask", kMasks[i % 7]);
        b.Text(key, "Comment",
               Format("Generated filter %ld for ", i) + kWords[(i / 10) % 10] + " on cell " +
                   std::to_string(i % 40));
        b.Number(key, "Type", n.Below(512));
        b.Number(key, "ShowAttrib", n.Below(4));
        b.Number(key, "ShowModuleExplod", n.Below(2));
    }
    RegKeyNode* lists = b.Key(std::string(kOstrix) + "\\FilterList");
    for (int level = 0; level < 5; ++level) {
        RegKeyNode* key = b.Child(lists, kLevels[level]);
        for (int i = 0; i < count; ++i)
            b.Number(key, FilterName((i + level * 37) % count), 1);
        b.Text(key, "", FilterName(level * 11 % count));
    }
}

void Methods(Builder& b, Numbers& n) {
    RegKeyNode* root = b.Key(std::string(kOstrix) + "\\ModulProc");
    for (int number = 1; number <= 99; ++number) {
        RegKeyNode* key = b.Child(root, std::to_string(number));
        b.Text(key, "",
               number < 90 ? Format("Method %ld ", number) + kWords[number % 10]
                           : Format("User method %ld", number));
        b.Number(key, "ItemConditions", n.Next() | (n.Next() << 16));
        b.Number(key, "SystemConditions", n.Next() & 0x0337ff77);
        for (const char* level : kMethodLevels) {
            RegKeyNode* levelKey = b.Child(key, level);
            b.Number(levelKey, "AskBefore", n.Below(4) == 0);
            b.Number(levelKey, "Active", n.Below(3) != 0);
        }
    }
}

void Templates(Builder& b, double scale, Numbers& n) {
    const int count = Count(2000, scale);
    RegKeyNode* root = b.Key(std::string(kOstrix) + "\\Template");
    for (int i = 0; i < count; ++i) {
        RegKeyNode* key = b.Child(root, TemplateName(i));
        b.Text(key, "", Format("%%InstallationDir%%\\roboter\\template\\t%05ld", i));
        b.Text(key, "EditMask", i % 2 ? "*.src;*.dat" : "*.sub");
        b.Text(key, "Comment", Format("Generated template %ld for ", i) + kWords[i % 10]);
        b.Number(key, "FastCreate", i % 5 == 0);
        RegKeyNode* disabled = b.Child(key, "DisabledUserLevel");
        for (const char* level : kTemplateLevels)
            if (n.Below(3) == 0)
                b.Number(disabled, level, 1);
    }
    RegKeyNode* lists = b.Key(std::string(kOstrix) + "\\TemplateList");
    const int directories = Count(500, scale);
    for (int d = 0; d <= directories; ++d) {
        RegKeyNode* key = b.Child(
            lists, d == directories ? std::string("DEFAULT") : Format("vlx:/r1/d%05ld/", d));
        for (int t = 0; t < 50; ++t)
            b.Number(key, TemplateName((d * 50 + t * 7) % count), 1);
    }
}

void General(Builder& b, double scale) {
    // A tree of ten folders below every folder, breadth first, below "vlx:".
    const int count = Count(5000, scale);
    std::vector<RegKeyNode*> nodes;
    nodes.reserve(static_cast<size_t>(count));
    nodes.push_back(b.Key(std::string(kOstrix) + "\\PreDefinedTree\\vlx:"));
    for (int i = 1; i < count; ++i)
        nodes.push_back(
            b.Child(nodes[static_cast<size_t>((i - 1) / 10)], Format("folder%05ld", i)));
    for (int i = 0; i < count; ++i)
        b.Number(nodes[static_cast<size_t>(i)], "ChangeAllowed", i % 3 == 0);

    RegKeyNode* backup = b.Key(std::string(kOstrix) + "\\BackUp");
    b.Text(backup, "", "d:\\archive\\");
    b.Text(backup, "Config", "Configuration 00000");
    b.Text(backup, "Archive", "Archive path 00000");
    b.Text(b.Key(std::string(kManager) + "\\File"), "MirrorPath", "d:\\mirror\\");
}

void Upgrade(Builder& b, double scale) {
    RegKeyNode* version = b.Key(kVersion);
    b.Text(version, "InstallationDir", "C:\\VLX");
    for (int type = 0; type < Count(50, scale); ++type) {
        RegKeyNode* key = b.Child(version, Format("VLX %ld.%02ld", 4 + type / 100, type % 100));
        for (int file = 0; file < 200; ++file)
            b.Text(key, Format("Component%03ld.ocx", file),
                   Format("%ld.%ld.0.", type % 9 + 1, file % 7) + std::to_string(file));
    }
    RegKeyNode* watched = b.Key(std::string(kManager) + "\\Upgrade\\WatchedDestinationPaths");
    for (int i = 0; i < Count(500, scale); ++i)
        b.Text(watched, Format("Watched path %05ld", i), Format("vlx:\\r1\\d%05ld", i));
}

void Archive(Builder& b, double scale, Numbers& n) {
    RegKeyNode* archive = b.Key(std::string(kManager) + "\\Archive");
    for (int i = 0; i < Count(50, scale); ++i)
        b.Number(archive, Format("CompareCriterion%04ld", i), n.Below(2));
    for (const char* name :
         {"CheckBack", "EnableDiskCounting", "History", "HistoryWhenRestore", "IniOnOffSwitch"})
        b.Number(archive, name, 1);
    b.Number(archive, "DeleteR1", 0);
    b.Number(archive, "MaxHistoryCount", 10);
    b.Text(archive, "HistoryPath", "D:\\History");

    RegKeyNode* paths = b.Child(archive, "Path");
    for (int i = 0; i < Count(500, scale); ++i) {
        RegKeyNode* key = b.Child(paths, Format("Archive path %05ld", i));
        for (int p = 0; p < 10; ++p)
            b.Text(key, Format("d:\\archive\\p%05ld\\%02ld\\", i, p), p == i % 10 ? "Default" : "");
    }
    RegKeyNode* configs = b.Child(archive, "Config");
    for (int i = 0; i < Count(500, scale); ++i) {
        RegKeyNode* key = b.Child(configs, Format("Configuration %05ld", i));
        RegKeyNode* registrySources = b.Child(key, "RegistrySource");
        for (int s = 0; s < 50; ++s)
            b.Text(registrySources,
                   Format("HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Cells\\Cell %03ld",
                          (i * 7 + s) % 200),
                   "");
        RegKeyNode* fileSources = b.Child(key, "FileSource");
        for (int s = 0; s < 100; ++s)
            b.Text(fileSources, Format("vlx:\\r1\\p%05ld\\f%03ld.src", i, s),
                   s % 4 == 3 ? "No" : "");
    }
}

void BrowseRoots(Builder& b, double scale, Numbers& n) {
    // Below the maker's key, as the registry source picker lists them: cells of 99 axes.
    const int cells = Count(200, scale);
    RegKeyNode* root = b.Key(std::string(kMaker) + "\\Cells");
    for (int c = 0; c < cells; ++c) {
        RegKeyNode* cell = b.Child(root, Format("Cell %03ld", c));
        for (int a = 1; a < 100; ++a)
            b.Number(b.Child(cell, Format("Axis %02ld", a)), "Gear", n.Below(1000));
    }
    RegKeyNode* customer = b.Key("Software\\VORNA Customer\\Cell 3");
    b.Text(customer, "Description", "Palletising cell, line 3");
    b.Number(b.Child(customer, "Conveyor"), "Speed", 250);
    RegKeyNode* user =
        b.Key(RegRoot::CurrentUser, "Software\\VORNA Roboter GmbH\\Quorin3\\Manager");
    b.Text(user, "LastArchivePath", "d:\\archive\\");
    b.Text(
        b.Key(RegRoot::CurrentUser, "Software\\VB and VBA Program Settings\\CellTools\\Settings"),
        "Language", "en");
}

void Unrelated(Builder& b, double scale, Numbers& n) {
    // Plant data of other programs: strings, numbers, binary blobs (some long enough to wrap),
    // expandable and multi-strings, 50 to a key.
    const int keys = Count(4000, scale);
    RegKeyNode* root = b.Key("Software\\Plant Data");
    for (int k = 0; k < keys; ++k) {
        RegKeyNode* key =
            b.Child(b.Child(root, Format("Area %03ld", k / 100)), Format("Unit %05ld", k));
        for (int v = 0; v < 50; ++v) {
            const std::string name = Format("Param %02ld", v);
            switch (v % 10) {
                case 0:
                case 1:
                case 2:
                case 3:
                    b.Text(key, name, Format("unit %ld, %ld", k, v));
                    break;
                case 4:
                case 5:
                case 6:
                case 7:
                    b.Number(key, name, n.Next());
                    break;
                case 8: {
                    // Now and then long enough to wrap onto continuation lines.
                    std::vector<uint8_t> blob(v == 48 && k % 4 == 0 ? 48 : 8);
                    for (uint8_t& byte : blob)
                        byte = static_cast<uint8_t>(n.Next());
                    b.Raw(key, name, 3, std::move(blob));
                    break;
                }
                default: {
                    const std::string text = v == 9 ? "%SystemRoot%\\u" + std::to_string(k) + '\0'
                                                    : std::string("a\0b\0\0", 5);
                    b.Raw(key, name,
                          v == 9    ? 2
                          : v == 19 ? 7
                                    : 1,
                          std::vector<uint8_t>(text.begin(), text.end()));
                    break;
                }
            }
        }
    }
}

}  // namespace

GeneratedConfiguration GenerateConfiguration(double scale, const registry::RegFileFormat& format) {
    GeneratedConfiguration out;
    Builder b(&out);
    Numbers n;
    Display(b);
    Filters(b, scale, n);
    Methods(b, n);
    Templates(b, scale, n);
    General(b, scale);
    Upgrade(b, scale);
    Archive(b, scale, n);
    BrowseRoots(b, scale, n);
    Unrelated(b, scale, n);
    out.bytes = registry::WriteRegText(b.Tree(), format);
    return out;
}

}  // namespace bench
