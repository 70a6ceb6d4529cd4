#pragma once
// Every control of a window carries the name the program knows it by, so that tests (and
// anyone reading the widget tree) find it by that name.

#include <QString>

namespace umbrix {

template <typename W>
W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace umbrix
