#pragma once

// The vocabulary shared by every report engine: units, line height methods, tab cells, the
// engine's exception and its messages.

#include <QColor>
#include <QString>

#include <stdexcept>

namespace report_engine {

enum class Units { unInch, unMM, unCM, unPoint, unUser };
enum class LineHeightMethod { lhmLinesPerInch, lhmFont };
enum class Orientation { poPortrait, poLandScape, poDefault };
enum class TextBKMode { bkTransparent, bkOpaque };
enum class StreamMode { smMemory, smFile, smUser };
enum class AccuracyMethod { amPositioning, amAppearance };
enum class MarginMethod { mmScaled, mmFixed };

// Justification of a tab cell or of text printed at a position; the values are those stored
// in report definitions.
enum class Justify : int { Center = 0, Left = 1, Right = 2 };

// Box lines of a tab cell, combined with |.
enum BoxLines : int {
    BoxNone = 0,
    BoxLeft = 1,
    BoxRight = 2,
    BoxTop = 4,
    BoxBottom = 8,
    BoxAll = 15
};

// SetTab's position that places the cell directly after the previous one (the first at the
// left margin).
inline constexpr double kTabContinue = -32768.0;

// A report font: face, size in points, style and colour.
struct ReportFont {
    QString name = QStringLiteral("Arial");
    double size = 10.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor colour = Qt::black;
    bool operator==(const ReportFont&) const = default;
};

// The engine's errors. what() holds the message in UTF-8; message() the same as a QString.
class EReportPrinter : public std::runtime_error {
public:
    explicit EReportPrinter(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

namespace messages {
inline constexpr const char* kNoPrinters = "No printers are defined, aborting print job.";
inline constexpr const char* kNotPrinting = "Invalid method call.  Report printer is not printing.";
inline constexpr const char* kAlreadyPrinting =
    "Invalid method call.  Report printer already printing.";
inline constexpr const char* kFilerNeedsForm =
    "TReportFiler.Owner must be a TForm if no printers are defined.";
inline constexpr const char* kStreamError = "Error initializing stream";            // + ' "name"'
inline constexpr const char* kInputStreamError = "Error initializing input stream"; // + ' "name"'
inline constexpr const char* kCopyRectInFile = "CopyRect() not supported in file mode.";
inline constexpr const char* kCanvasNotActive = "Error!  Canvas not yet active.";
inline constexpr const char* kNoScrollBox = "ScrollBox must be assigned for FilePreview component";
inline constexpr const char* kUnexpectedCode = "Unexpected code found in report file.";
} // namespace messages

} // namespace report_engine
