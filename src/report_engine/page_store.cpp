#include "report_engine/page_store.h"

#include "report_engine/canvas_report.h"

#include <QDataStream>
#include <QIODevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace report_engine {

namespace {

constexpr char kMagic[8] = {'V', 'L', 'M', 'P', 'A', 'G', 'E', 'S'};
constexpr quint32 kVersion = 1;
constexpr qint64 kPageCountOffset = 8 + 4 + 4 * 8;

enum Code : quint8 {
    kNewPage = 'P',
    kFontDefinition = 'F',
    kFontSelect = 'f',
    kText = 'T',
    kLine = 'L',
    kFill = 'R',
    kEnd = 'E',
};

enum FontFlags : quint8 { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };

// Nothing on paper lies this far from the corner; a larger value is a damaged store.
constexpr double kMaxInches = 1000.0;
constexpr double kMaxFontSize = 2000.0;

[[noreturn]] void damaged() {
    throw EReportPrinter(QString::fromLatin1(messages::kUnexpectedCode));
}

void writeString(QDataStream& out, const QString& text) {
    out << static_cast<quint32>(text.size());
    for (const QChar c : text)
        out << static_cast<quint16>(c.unicode());
}

} // namespace

// ---- Writing ---------------------------------------------------------------------------------

PageStoreWriter::PageStoreWriter(QIODevice& device, QSizeF paperInches, double scaleX,
                                 double scaleY)
    : device_(device), start_(device.pos()) {
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out.writeRawData(kMagic, sizeof kMagic);
    out << kVersion << paperInches.width() << paperInches.height() << scaleX << scaleY
        << quint32(0);
    put(header);
}

void PageStoreWriter::put(const QByteArray& bytes) {
    if (device_.write(bytes) != bytes.size())
        throw EReportPrinter(
            QStringLiteral("%1 \"%2\"")
                .arg(QString::fromLatin1(messages::kStreamError), device_.errorString()));
}

void PageStoreWriter::newPage() {
    ++pages_;
    currentFont_ = -1; // every page names its font before its first text
    put(QByteArray(1, static_cast<char>(kNewPage)));
}

void PageStoreWriter::text(const QPointF& baseline, const QString& text, const ReportFont& font,
                           bool opaque) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    if (currentFont_ < 0 || !(fonts_[static_cast<size_t>(currentFont_)] == font)) {
        const auto known = std::find(fonts_.begin(), fonts_.end(), font);
        if (known == fonts_.end()) {
            quint8 flags = (font.bold ? kBold : 0) | (font.italic ? kItalic : 0) |
                           (font.underline ? kUnderline : 0) | (font.strikeOut ? kStrikeOut : 0);
            out << quint8(kFontDefinition);
            writeString(out, font.name);
            out << font.size << flags << quint32(font.colour.rgba());
            fonts_.push_back(font);
            currentFont_ = static_cast<int>(fonts_.size()) - 1;
        } else {
            currentFont_ = static_cast<int>(known - fonts_.begin());
            out << quint8(kFontSelect) << quint32(currentFont_);
        }
    }
    out << quint8(kText) << baseline.x() << baseline.y() << quint8(opaque ? 1 : 0);
    writeString(out, text);
    put(bytes);
}

void PageStoreWriter::line(const QPointF& from, const QPointF& to, const QColor& colour) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint8(kLine) << from.x() << from.y() << to.x() << to.y() << quint32(colour.rgba());
    put(bytes);
}

void PageStoreWriter::fillRect(const QRectF& rect, const QColor& colour) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint8(kFill) << rect.left() << rect.top() << rect.right() << rect.bottom()
        << quint32(colour.rgba());
    put(bytes);
}

void PageStoreWriter::finish() {
    put(QByteArray(1, static_cast<char>(kEnd)));
    const qint64 end = device_.pos();
    QByteArray count;
    QDataStream out(&count, QIODevice::WriteOnly);
    out << quint32(pages_);
    if (!device_.seek(start_ + kPageCountOffset))
        throw EReportPrinter(
            QStringLiteral("%1 \"%2\"")
                .arg(QString::fromLatin1(messages::kStreamError), device_.errorString()));
    put(count);
    device_.seek(end);
}

// ---- Reading ---------------------------------------------------------------------------------

namespace {

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes), in_(bytes_) {}

    quint8 byte() {
        quint8 value = 0;
        in_ >> value;
        check();
        return value;
    }
    quint32 word() {
        quint32 value = 0;
        in_ >> value;
        check();
        return value;
    }
    double number(double limit = kMaxInches) {
        double value = 0;
        in_ >> value;
        check();
        if (!std::isfinite(value) || std::abs(value) > limit)
            damaged();
        return value;
    }
    QPointF point() {
        const double x = number();
        return {x, number()};
    }
    QString string() {
        const quint32 length = word();
        if (length > static_cast<quint64>(remaining()) / 2)
            damaged();
        QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
        for (quint32 i = 0; i < length; ++i) {
            quint16 unit = 0;
            in_ >> unit;
            text[static_cast<qsizetype>(i)] = QChar(unit);
        }
        check();
        return text;
    }
    void magic() {
        char magic[sizeof kMagic] = {};
        if (in_.readRawData(magic, sizeof magic) != sizeof magic ||
            !std::equal(magic, magic + sizeof magic, kMagic))
            damaged();
    }
    qint64 remaining() const { return bytes_.size() - in_.device()->pos(); }

private:
    void check() const {
        if (in_.status() != QDataStream::Ok)
            damaged();
    }
    QByteArray bytes_;
    QDataStream in_;
};

} // namespace

PageStore PageStore::read(QIODevice& device) {
    return read(device.readAll());
}

PageStore PageStore::read(const QByteArray& bytes) {
    Reader in(bytes);
    PageStore store;
    in.magic();
    if (in.word() != kVersion)
        damaged();
    const double width = in.number();
    const double height = in.number();
    store.paper_ = QSizeF(width, height);
    store.scaleX_ = in.number(100000);
    store.scaleY_ = in.number(100000);
    if (width <= 0 || height <= 0 || store.scaleX_ <= 0 || store.scaleY_ <= 0)
        damaged();
    const quint32 pageCount = in.word();
    int font = -1;
    for (;;) {
        const quint8 code = in.byte();
        if (code == kEnd)
            break;
        if (code == kNewPage) {
            store.pages_.emplace_back();
            font = -1;
            continue;
        }
        if (store.pages_.empty())
            damaged(); // drawing before the first page
        std::vector<store::Op>& page = store.pages_.back();
        switch (code) {
        case kFontDefinition: {
            ReportFont definition;
            definition.name = in.string();
            definition.size = in.number(kMaxFontSize);
            const quint8 flags = in.byte();
            definition.colour = QColor::fromRgba(in.word());
            if (definition.size <= 0 || flags > 15)
                damaged();
            definition.bold = flags & kBold;
            definition.italic = flags & kItalic;
            definition.underline = flags & kUnderline;
            definition.strikeOut = flags & kStrikeOut;
            store.fonts_.push_back(definition);
            font = static_cast<int>(store.fonts_.size()) - 1;
            break;
        }
        case kFontSelect: {
            const quint32 index = in.word();
            if (index >= store.fonts_.size())
                damaged();
            font = static_cast<int>(index);
            break;
        }
        case kText: {
            const QPointF baseline = in.point();
            const quint8 opaque = in.byte();
            if (font < 0 || opaque > 1)
                damaged();
            page.push_back(store::Text{baseline, in.string(), font, opaque == 1});
            break;
        }
        case kLine: {
            const QPointF from = in.point();
            const QPointF to = in.point();
            page.push_back(store::Line{from, to, QColor::fromRgba(in.word())});
            break;
        }
        case kFill: {
            const QPointF topLeft = in.point();
            const QPointF bottomRight = in.point();
            page.push_back(store::Fill{QRectF(topLeft, bottomRight), QColor::fromRgba(in.word())});
            break;
        }
        default:
            damaged();
        }
    }
    if (pageCount != store.pages_.size())
        damaged();
    return store;
}

const std::vector<store::Op>& PageStore::page(int n) const {
    if (n < 1 || n > pageCount())
        throw EReportPrinter(QString::fromLatin1(messages::kUnexpectedCode));
    return pages_[static_cast<size_t>(n - 1)];
}

void PageStore::drawPage(QPainter& painter, int n, double dpiX, double dpiY,
                         bool monochrome) const {
    painter.save();
    painter.scale(scaleX_ / 100.0, scaleY_ / 100.0);
    CanvasOutput output(painter, dpiX, dpiY, monochrome);
    for (const store::Op& op : page(n)) {
        if (const auto* text = std::get_if<store::Text>(&op))
            output.text(text->baseline, text->text, fonts_[static_cast<size_t>(text->font)],
                        text->opaque);
        else if (const auto* line = std::get_if<store::Line>(&op))
            output.line(line->from, line->to, line->colour);
        else if (const auto* fill = std::get_if<store::Fill>(&op))
            output.fillRect(fill->rect, fill->colour);
    }
    painter.restore();
}

} // namespace report_engine
