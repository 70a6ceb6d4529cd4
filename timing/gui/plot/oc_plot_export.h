#pragma once
// Writes the O-C diagram to an image file the way the plot windows export theirs: the display
// list painted by a plot view, the texts as labels over it, the whole rendered to PNG, PDF or
// SVG by the suffix of the path.

#include <QString>

#include "timing/draw/oc_plot.h"

namespace umbrix {

// Returns "" on success, otherwise the reason.
QString ExportOcPlot(const OcPlot& plot, const QString& path);

}  // namespace umbrix
