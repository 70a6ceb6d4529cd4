#include "timing/gui/main/show_message.h"

#include <QApplication>
#include <QMessageBox>

namespace umbrix {

namespace {
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}
}  // namespace

void showMessage(QWidget* parent, const QString& text) {
    if (Handler()) {
        Handler()(parent, text);
        return;
    }
    // Every message ectimer shows is a refusal, a failure or a word of caution about a result
    // that stands: each asks the user to look, so each carries the warning icon.
    QMessageBox::warning(parent, QApplication::applicationName(), text, QMessageBox::Ok);
}

MessageHandler setMessageHandler(MessageHandler handler) {
    MessageHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

namespace {
QuestionHandler& Answerer() {
    static QuestionHandler handler;
    return handler;
}
}  // namespace

bool askQuestion(QWidget* parent, const QString& text) {
    if (Answerer()) return Answerer()(parent, text);
    return QMessageBox::question(parent, QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QuestionHandler setQuestionHandler(QuestionHandler handler) {
    QuestionHandler previous = std::move(Answerer());
    Answerer() = std::move(handler);
    return previous;
}

}  // namespace umbrix
