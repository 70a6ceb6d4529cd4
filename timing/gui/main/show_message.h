#pragma once
// Every message box of ectimer goes through showMessage: one OK button, the warning icon, the
// application's title. Tests install a handler that records the text instead of blocking.

#include <QString>
#include <functional>

class QWidget;

namespace umbrix {

using MessageHandler = std::function<void(QWidget* parent, const QString& text)>;

void showMessage(QWidget* parent, const QString& text);

// Replaces the handler (an empty one restores the real message box); returns the previous one.
MessageHandler setMessageHandler(MessageHandler handler);

// A Yes/No question with the application's title; true for Yes. Tests install an answerer.
using QuestionHandler = std::function<bool(QWidget* parent, const QString& text)>;

bool askQuestion(QWidget* parent, const QString& text);

QuestionHandler setQuestionHandler(QuestionHandler handler);

}  // namespace umbrix
