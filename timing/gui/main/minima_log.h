#pragma once
// What another window hands the main window to add to the minima log, which the main window
// alone keeps (its name remembered beside zzzumb.ini, the question before logging a night
// twice): the import window's timed eclipses, each a light curve of its own.

#include <string>

#include "timing/core/session/row_table.h"

namespace umbrix {

struct LoggedRows {
    std::string file;  // the log's file column: "sector14.fits#3"
    RowTable rows;     // as the methods wrote them; ticked rows holding a time are logged
};

}  // namespace umbrix
