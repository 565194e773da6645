#pragma once
// A test with its own program folder (where the .lng files are looked for) and HOME, and
// no translation in use before or after it.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "wizard/translation/language_folder.h"
#include "wizard/translation/translation.h"

class LanguageFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(programFolder_.isValid());
        ASSERT_TRUE(home_.isValid());
        savedHome_ = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home_.path()));
        SetLanguageFolder(programFolder_.path());
        SetCurrentTranslation(nullptr);
    }

    void TearDown() override {
        UseLanguageFile(QString());
        SetLanguageFolder(QString());
        qputenv("HOME", savedHome_);
    }

    QString programFile(const QString& name) const { return programFolder_.filePath(name); }

    void writeProgramFile(const QString& name, const QByteArray& bytes) const {
        QFile file(programFile(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    void useTranslation(const QByteArray& text) {
        writeProgramFile(QStringLiteral("Test.lng"), text);
        SetCurrentTranslation(LoadLanguageFile(QStringLiteral("Test.lng")));
        ASSERT_NE(CurrentTranslation(), nullptr);
    }

private:
    QTemporaryDir programFolder_;
    QTemporaryDir home_;
    QByteArray savedHome_;
};
