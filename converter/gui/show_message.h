#pragma once
// Every message box of hjdprep goes through showMessage: one OK button, the window's
// caption as title. Tests install a handler that records the text instead of blocking.

#include <QString>
#include <functional>

class QWidget;

namespace hjdprep {

using MessageHandler = std::function<void(QWidget* parent, const QString& text)>;

void showMessage(QWidget* parent, const QString& text);

// Replaces the handler (an empty one restores the real message box); returns the previous.
MessageHandler setMessageHandler(MessageHandler handler);

}  // namespace hjdprep
