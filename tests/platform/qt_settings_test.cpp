// The settings file: what one store writes the next one reads, a file edited by hand with junk
// in it reads as the defaults, and the user's own file stays out of reach of the tests.
#include "platform/qt/qt_settings.h"

#include "shell/view_preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace platform::qt {
namespace {

class QtSettingsTest : public ::testing::Test {
protected:
    QString path() const { return m_folder.filePath(QStringLiteral("settings.conf")); }
    void writeFile(const QByteArray& text) const {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

private:
    QTemporaryDir m_folder;
};

TEST_F(QtSettingsTest, WhatOneStoreWritesANewOneReads) {
    {
        QtSettings settings(path());
        EXPECT_EQ(settings.integer("view/readablePoints", 10), 10);
        settings.setInteger("view/readablePoints", 14);
        settings.setInteger("view/openAt", 1);
        settings.setText("recent/file1", "Databases/caf\xE9 \x80.dat");
    }
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.contains("[view]")) << written.toStdString();
    EXPECT_TRUE(written.contains("readablePoints=14")) << written.toStdString();
    QtSettings again(path());
    EXPECT_EQ(again.integer("view/readablePoints", 10), 14);
    EXPECT_EQ(again.integer("view/openAt", 0), 1);
    EXPECT_EQ(again.text("recent/file1", ""), "Databases/caf\xE9 \x80.dat")
        << "the program's Windows-1252 text comes back byte for byte";
    const tarvo::ViewPreferences read = tarvo::ReadViewPreferences(again);
    EXPECT_EQ(read.openAt, tarvo::OpenAt::FitToWindow);
    EXPECT_EQ(read.readablePoints, 14);
}

TEST_F(QtSettingsTest, EachValueIsInTheFileAsSoonAsItIsSet) {
    QtSettings settings(path());
    settings.setInteger("view/openAt", 1);
    // The first store still lives: a crash now would not lose the value.
    QtSettings reader(path());
    EXPECT_EQ(reader.integer("view/openAt", 0), 1);
}

TEST_F(QtSettingsTest, AFileEditedByHandWithJunkReadsAsTheDefaults) {
    writeFile("[view]\n"
              "openAt=fit to window\n"
              "readablePoints=12, 14\n"
              "[recent]\n"
              "file1=\n"
              "garbage without an equals sign\n"
              "\xFF\xFE\x01\n");
    QtSettings settings(path());
    EXPECT_EQ(settings.integer("view/openAt", 5), 5);
    EXPECT_EQ(settings.integer("view/readablePoints", 10), 10) << "a list is no number";
    EXPECT_EQ(settings.text("view/readablePoints", "none"), "none") << "nor a single text";
    EXPECT_EQ(settings.text("recent/file1", "none"), "");
    EXPECT_EQ(settings.integer("recent/file1", 3), 3);
    const tarvo::ViewPreferences read = tarvo::ReadViewPreferences(settings);
    EXPECT_EQ(read.openAt, tarvo::OpenAt::Readable);
    EXPECT_EQ(read.readablePoints, tarvo::kReadablePoints);
}

TEST_F(QtSettingsTest, AFileThatCannotBeReadOrWrittenGivesTheDefaults) {
    // A folder where the file should be: nothing can be read or written there.
    ASSERT_TRUE(QDir().mkpath(path()));
    QtSettings settings(path());
    EXPECT_EQ(settings.integer("view/openAt", 3), 3);
    EXPECT_EQ(tarvo::ReadViewPreferences(settings).readablePoints, tarvo::kReadablePoints);
    settings.setInteger("view/openAt", 1);
    EXPECT_TRUE(QFileInfo(path()).isDir()) << "the failed write leaves the folder alone";
}

TEST(QtSettingsPlace, TheUsersStoreIsFiledUnderTheApplicationsNames) {
    // The test program keeps the user's store in a folder of its own, never in ~/.config.
    const QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    const QtSettings settings;
    EXPECT_FALSE(settings.fileName().startsWith(home + QStringLiteral("/.config")))
        << settings.fileName().toStdString();
    EXPECT_TRUE(settings.fileName().endsWith(QStringLiteral(".conf")))
        << settings.fileName().toStdString();
}

} // namespace
} // namespace platform::qt
