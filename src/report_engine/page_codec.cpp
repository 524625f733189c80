#include "report_engine/page_codec.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace report_engine::codec {

namespace {

enum Code : char {
    kFont = 'f',
    kText = 'T',
    kOpaqueText = 'O',
    kWideText = 'U',
    kOpaqueWideText = 'V',
    kLine = 'L',
    kFill = 'R',
    kCell = 'B',
};

constexpr int kShaded = 16; // with the box line bits of a cell
constexpr qint32 kMaxSteps = static_cast<qint32>(kMaxInches * kStepsPerInch);

[[noreturn]] void damaged() {
    throw EReportPrinter(QString::fromLatin1(messages::kUnexpectedCode));
}

qint32 steps(double inches) {
    if (!std::isfinite(inches))
        return 0;
    return static_cast<qint32>(
        std::lround(std::clamp(inches, -kMaxInches, kMaxInches) * kStepsPerInch));
}

bool latin1(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

} // namespace

// ---- Writing ---------------------------------------------------------------------------------

PageEncoder::PageEncoder() {
    bytes_.reserve(64 * 1024);
}

void PageEncoder::clear() {
    bytes_.resize(0);
    lastX_ = 0;
    lastY_ = 0;
}

void PageEncoder::number(quint32 value) {
    while (value >= 0x80) {
        bytes_.append(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    bytes_.append(static_cast<char>(value));
}

// Differences are small and of either sign: zigzag keeps the small ones in one byte.
void PageEncoder::x(double inches) {
    const qint32 value = steps(inches);
    const qint32 delta = value - lastX_;
    number((static_cast<quint32>(delta) << 1) ^ static_cast<quint32>(delta >> 31));
    lastX_ = value;
}

void PageEncoder::y(double inches) {
    const qint32 value = steps(inches);
    const qint32 delta = value - lastY_;
    number((static_cast<quint32>(delta) << 1) ^ static_cast<quint32>(delta >> 31));
    lastY_ = value;
}

void PageEncoder::font(int index) {
    code(kFont);
    number(static_cast<quint32>(index));
}

void PageEncoder::text(const QPointF& baseline, QStringView text, bool opaque) {
    const bool narrow = latin1(text);
    code(narrow ? (opaque ? kOpaqueText : kText) : (opaque ? kOpaqueWideText : kWideText));
    x(baseline.x());
    y(baseline.y());
    number(static_cast<quint32>(text.size()));
    if (narrow) {
        const qsizetype at = bytes_.size();
        bytes_.resize(at + text.size());
        char* out = bytes_.data() + at;
        for (const QChar c : text)
            *out++ = static_cast<char>(c.unicode());
        return;
    }
    for (const QChar c : text) {
        bytes_.append(static_cast<char>(c.unicode() & 0xFF));
        bytes_.append(static_cast<char>(c.unicode() >> 8));
    }
}

void PageEncoder::line(const QPointF& from, const QPointF& to, int colour) {
    code(kLine);
    number(static_cast<quint32>(colour));
    x(from.x());
    y(from.y());
    x(to.x());
    y(to.y());
}

void PageEncoder::fillRect(const QRectF& rect, int colour) {
    code(kFill);
    number(static_cast<quint32>(colour));
    x(rect.left());
    y(rect.top());
    x(rect.right());
    y(rect.bottom());
}

void PageEncoder::cell(const CellEdges& edges, int boxLines, int shade) {
    code(kCell);
    bytes_.append(static_cast<char>((boxLines & BoxAll) | (shade >= 0 ? kShaded : 0)));
    if (shade >= 0)
        number(static_cast<quint32>(shade));
    x(edges.left);
    y(edges.top);
    x(edges.right);
    y(edges.bottom);
}

// ---- Reading ---------------------------------------------------------------------------------

namespace {

class PageReader {
public:
    PageReader(QByteArrayView bytes, const std::vector<ReportFont>& fonts,
               const std::vector<QColor>& colours)
        : bytes_(bytes), fonts_(fonts), colours_(colours) {}

    bool atEnd() const { return pos_ >= bytes_.size(); }
    quint8 byte() {
        if (atEnd())
            damaged();
        return static_cast<quint8>(bytes_[pos_++]);
    }
    quint32 number() {
        quint64 value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            const quint8 b = byte();
            value |= static_cast<quint64>(b & 0x7F) << shift;
            if ((b & 0x80) == 0) {
                if (value > std::numeric_limits<quint32>::max())
                    damaged();
                return static_cast<quint32>(value);
            }
        }
        damaged();
    }
    double x() { return position(lastX_); }
    double y() { return position(lastY_); }
    QPointF point() {
        const double across = x();
        return {across, y()};
    }
    const ReportFont& font(quint32 index) const {
        if (index >= fonts_.size())
            damaged();
        return fonts_[index];
    }
    const QColor& colour() {
        const quint32 index = number();
        if (index >= colours_.size())
            damaged();
        return colours_[index];
    }
    QString text(bool wide) {
        const quint32 length = number();
        const qsizetype size = static_cast<qsizetype>(length) * (wide ? 2 : 1);
        if (static_cast<quint64>(length) * (wide ? 2 : 1) >
            static_cast<quint64>(bytes_.size() - pos_))
            damaged();
        const char* data = bytes_.data() + pos_;
        pos_ += size;
        if (!wide)
            return QString::fromLatin1(data, size);
        QString result(static_cast<qsizetype>(length), Qt::Uninitialized);
        for (qsizetype i = 0; i < result.size(); ++i)
            result[i] = QChar(static_cast<char16_t>(static_cast<quint8>(data[2 * i]) |
                                                    static_cast<quint8>(data[2 * i + 1]) << 8));
        return result;
    }

private:
    double position(qint32& last) {
        const quint32 zigzag = number();
        const qint64 delta = static_cast<qint64>(zigzag >> 1) ^ -static_cast<qint64>(zigzag & 1);
        const qint64 value = last + delta;
        if (value < -kMaxSteps || value > kMaxSteps)
            damaged();
        last = static_cast<qint32>(value);
        return last / kStepsPerInch;
    }
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
    const std::vector<ReportFont>& fonts_;
    const std::vector<QColor>& colours_;
    qint32 lastX_ = 0;
    qint32 lastY_ = 0;
};

} // namespace

void decodePage(QByteArrayView bytes, const std::vector<ReportFont>& fonts,
                const std::vector<QColor>& colours, PageOutput& output) {
    PageReader in(bytes, fonts, colours);
    const ReportFont* font = nullptr;
    while (!in.atEnd()) {
        const auto code = static_cast<char>(in.byte());
        switch (code) {
        case kFont:
            font = &in.font(in.number());
            break;
        case kText:
        case kOpaqueText:
        case kWideText:
        case kOpaqueWideText: {
            if (font == nullptr)
                damaged();
            const QPointF baseline = in.point();
            const QString text = in.text(code == kWideText || code == kOpaqueWideText);
            output.text(baseline, text, *font, code == kOpaqueText || code == kOpaqueWideText);
            break;
        }
        case kLine: {
            const QColor colour = in.colour();
            const QPointF from = in.point();
            output.line(from, in.point(), colour);
            break;
        }
        case kFill: {
            const QColor colour = in.colour();
            const QPointF topLeft = in.point();
            output.fillRect(QRectF(topLeft, in.point()), colour);
            break;
        }
        case kCell: {
            const quint8 flags = in.byte();
            if (flags > (BoxAll | kShaded))
                damaged();
            const QColor shade = (flags & kShaded) != 0 ? in.colour() : QColor();
            CellEdges edges;
            edges.left = in.x();
            edges.top = in.y();
            edges.right = in.x();
            edges.bottom = in.y();
            output.cell(edges, flags & BoxAll, shade);
            break;
        }
        default:
            damaged();
        }
    }
}

} // namespace report_engine::codec
