#include "converter/gui/show_message.h"

#include <QMessageBox>
#include <QWidget>

namespace hjdprep {

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
    const QString title = parent ? parent->window()->windowTitle() : QStringLiteral("hjdprep");
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

MessageHandler setMessageHandler(MessageHandler handler) {
    MessageHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

}  // namespace hjdprep
