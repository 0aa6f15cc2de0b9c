#pragma once
// Paints a printed record (model/print_layout) on a paged device: a printer chosen in the
// print window, the print preview, or a PDF file. The same pages everywhere; the record's
// lines, the players' names and the moves are text, so that a PDF can be searched.

#include <QPagedPaintDevice>
#include <QString>

#include "model/print_layout.h"

namespace marovin::printing {

// Lays document out on the device's pages and paints them, the page number under each.
// Returns the number of pages painted, 0 when painting could not begin (a file that cannot
// be written).
int PrintRecord(const model::PrintDocument& document, QPagedPaintDevice& device);

// Writes document as a PDF file of A4 pages. False when the file could not be written.
bool WriteRecordPdf(const model::PrintDocument& document, const QString& path);

} // namespace marovin::printing
