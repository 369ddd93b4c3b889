// --check and --export-for-import: what they print and return, and that the registry file stays
// as it was, byte for byte, whatever the pages' loads write.

#include "app/headless_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/vlx_configurator_app.h"
#include "registry/reg_text.h"
#include "tests/app/test_pages.h"
#include "tests/support/area_edit.h"
#include "tests/support/reg_model.h"
#include "tests/support/ui_kit.h"

namespace {

using frametest::CTestPage;

const std::string kPrefix = "Your registry configuration is invalid!\nThe error is in:\n";
const std::string kOstrix =
    "HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix";

std::string ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

void WriteFile(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A page that writes into the registry while it loads, as the Display page does on an empty area.
class CWritingPage : public CTestPage {
  public:
    using CTestPage::CTestPage;
    bool LoadFromRegistry() override {
        SaveToRegistry();
        return CTestPage::LoadFromRegistry();
    }
};

class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uikit::EnsureApplication();
        ASSERT_TRUE(dir_.isValid());
        file_ = dir_.filePath("registry.reg");
    }
    // The folder holds nothing but these files.
    void ExpectFolderHolds(const QStringList& names) {
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
    }

    QTemporaryDir dir_;
    QString file_;
    const std::string sample_ = ReadFile(QStringLiteral(VLX_SAMPLE_FILE));
};

TEST_F(HeadlessTest, CheckRunsThePagesLoadsAndLeavesTheFileAsItWas) {
    const std::string display = kOstrix + "\\Display";
    const struct {
        const char* what;
        std::string file;
        int exitCode;
        std::string out;
    } cases[] = {
        {"the sample", sample_, 0, ""},
        // The Display page writes the default level into an empty area while it loads.
        {"an empty Display area",
         testsupport::WithoutKeys(sample_, display) + "[" + display + "]\r\n", 0, ""},
        {"no Display and no Filter area",
         testsupport::WithoutKeys(testsupport::WithoutKeys(sample_, display), kOstrix + "\\Filter"),
         1,
         kPrefix + "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Display\n\n" +
             kPrefix + "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\Filter\n" +
             "Software\\VORNA Roboter GmbH\\VORNA OPX\\OCX Control's\\Ostrix\\FilterList\n"},
    };
    // An old time, so that any write, even within the same second, would show.
    const QDateTime written(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC);
    for (const auto& c : cases) {
        WriteFile(file_, c.file);
        {
            QFile f(file_);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                        f.setFileTime(written, QFileDevice::FileModificationTime));
        }
        const app::HeadlessResult result = app::RunCheck(file_);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what;
        EXPECT_EQ(result.out, c.out) << c.what;
        EXPECT_EQ(result.errors, "") << c.what;
        EXPECT_EQ(ReadFile(file_), c.file) << c.what;
        EXPECT_EQ(QFileInfo(file_).lastModified().toUTC(), written) << c.what;
        ExpectFolderHolds({"registry.reg"});
    }
}

TEST_F(HeadlessTest, CheckNamesEveryFailedPageInTabOrderAndWritesNothing) {
    WriteFile(file_, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n");
    const std::string before = ReadFile(file_);
    PageTable table = DefaultPageTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const int index = static_cast<int>(i);
        table[i].templateNumber = 130;
        table[i].create = [index] {
            return std::make_unique<CWritingPage>(index, index != 3 && index != 7, nullptr);
        };
    }
    const app::HeadlessResult result = app::RunCheck(file_, table);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, kPrefix + table[3].keyText + "\n\n" + kPrefix + table[7].keyText + "\n");
    EXPECT_EQ(ReadFile(file_), before);
    ExpectFolderHolds({"registry.reg"});
}

TEST_F(HeadlessTest, AFileThatCannotBeReadEndsBothWithCode2AndItsReason) {
    const std::string broken = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=dword:zz\r\n";
    WriteFile(file_, broken);
    const QString out = dir_.filePath("out.reg");
    const QString missing = dir_.filePath("missing.reg");
    const app::HeadlessResult results[] = {
        app::RunCheck(file_), app::RunExportForImport(file_, out), app::RunCheck(missing),
        app::RunExportForImport(missing, out)};
    for (const app::HeadlessResult& result : results) {
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.errors.find(file_.toStdString() + ", line 3") != std::string::npos ||
                    result.errors.find(missing.toStdString()) != std::string::npos)
            << result.errors;
    }
    EXPECT_EQ(ReadFile(file_), broken);
    ExpectFolderHolds({"registry.reg"});
}

TEST_F(HeadlessTest, ExportKeepsTheFilesFormatAndNeverLeavesAHalfFile) {
    const std::string maskText = "caf\xe9";
    const registry::RegFileFormat formats[] = {{false, false}, {true, false}, {true, true}};
    for (const registry::RegFileFormat& format : formats) {
        registry::RegTextWriter text(format);
        text.BeginKey(kOstrix + "\\Filter\\All");
        text.Value("Mask", REG_SZ, reinterpret_cast<const uint8_t*>(maskText.c_str()),
                   maskText.size() + 1);
        text.EndKey();
        WriteFile(file_, text.Finish());
        const QString out = dir_.filePath("out.reg");
        const app::HeadlessResult result = app::RunExportForImport(file_, out);
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        registry::RegDocument doc;
        ASSERT_EQ(registry::ParseRegText(ReadFile(out), "out", &doc), "");
        EXPECT_EQ(doc.format, format);
        const auto mask =
            std::find_if(doc.entries.begin(), doc.entries.end(),
                         [](const registry::RegEntry& e) { return e.valueName == "Mask"; });
        ASSERT_NE(mask, doc.entries.end());
        EXPECT_EQ(mask->data, (std::vector<uint8_t>{'c', 'a', 'f', 0xe9, 0}));
        QFile::remove(out);
    }
    // An import file that cannot be written: code 1, naming it, and nothing left behind.
    const QString out = dir_.filePath("no such folder/out.reg");
    const app::HeadlessResult result = app::RunExportForImport(file_, out);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find(out.toStdString()), std::string::npos) << result.errors;
    ExpectFolderHolds({"registry.reg"});
}

}  // namespace
