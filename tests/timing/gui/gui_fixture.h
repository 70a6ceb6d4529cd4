#pragma once
// A main window in a scratch folder of its own, with message boxes and questions recorded.

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <memory>

#include "timing/core/session/app_state.h"
#include "timing/gui/main/main_window.h"
#include "timing/gui/main/show_message.h"

namespace umbrix {

class GuiTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("umbrix_gui_") +
                testing::UnitTest::GetInstance()->current_test_suite()->name() + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        previousMessage_ = setMessageHandler(
            [this](QWidget*, const QString& text) { messages_.append(text); });
        previousQuestion_ = setQuestionHandler([this](QWidget*, const QString& text) {
            questions_.append(text);
            return answer_;
        });
    }
    void TearDown() override {
        window_.reset();
        setMessageHandler(previousMessage_);
        setQuestionHandler(previousQuestion_);
        std::filesystem::remove_all(dir_);
    }

    frmMain& Window() {
        if (!window_) window_ = std::make_unique<frmMain>(*app_, SettingsPath());
        return *window_;
    }
    QString Dir() const { return QString::fromStdString(dir_.string()); }
    QString SettingsPath() const { return QDir(Dir()).filePath("zzzumb.ini"); }
    void WriteFile(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }

    std::filesystem::path dir_;
    std::unique_ptr<AppState> app_ = std::make_unique<AppState>();
    std::unique_ptr<frmMain> window_;
    QStringList messages_;
    QStringList questions_;
    bool answer_ = false;

private:
    MessageHandler previousMessage_;
    QuestionHandler previousQuestion_;
};

}  // namespace umbrix
