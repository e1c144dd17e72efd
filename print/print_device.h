#pragma once
// What printing needs of a printer: its state, its page in device pixels, the
// document calls and one drawing primitive. The window's version paints on a
// QPrinter (print/widgets/page_painter.h); tests record the calls.

#include <string>

namespace dotforge {

class PrintDevice {
public:
    virtual ~PrintDevice() = default;

    // True while the printer is in the middle of a document of this program.
    virtual bool printing() const = 0;

    // Starts a document listed under `title`; the first page is open. A
    // failure raises IoError.
    virtual void beginDoc(const std::string &title) = 0;
    // Printable page of the open document, in device pixels; the origin of
    // the drawing calls is its top-left corner.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    // Ends the current page and opens the next one. A failure raises IoError.
    virtual void newPage() = 0;
    // Ends the document and hands it to the printer. A failure raises IoError;
    // the document is then no longer open.
    virtual void endDoc() = 0;
    // Drops the open document, if any; never fails.
    virtual void abortDoc() = 0;
    // Where the last ended document went when it went to a file (empty when it
    // went to a printer).
    virtual std::string outputFile() const = 0;

    // The tools of the dots: pen black, 2 pixels wide; brush solid white.
    virtual void setDotTools() = 0;
    // An ellipse inside the box from (left, top) to (right, bottom).
    virtual void ellipse(int left, int top, int right, int bottom) = 0;
};

} // namespace dotforge
