#include "report_engine/page_store.h"

#include "report_engine/canvas_report.h"

#include <QDataStream>
#include <QIODevice>
#include <QPainter>

#include <zlib.h>

#include <algorithm>
#include <cmath>

namespace report_engine {

namespace {

constexpr char kMagic[8] = {'V', 'L', 'M', 'P', 'A', 'G', 'E', 'S'};
constexpr quint32 kVersion = 2;
constexpr qint64 kPageCountOffset = 8 + 4 + 4 * 8;

enum Code : quint8 {
    kFontDefinition = 'F',
    kColourDefinition = 'C',
    kPage = 'P',
    kEnd = 'E',
};

enum FontFlags : quint8 { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };

constexpr double kMaxFontSize = 2000.0;
// Deflate packs at most about 1032 bytes into one; a page claiming more is damaged, as is one
// claiming more than a gigabyte of operations (some fifty million texts).
constexpr qint64 kMaxPackingRatio = 1032;
constexpr quint32 kMaxPageBytes = 1u << 30;

[[noreturn]] void damaged() {
    throw EReportPrinter(QString::fromLatin1(messages::kUnexpectedCode));
}

void writeString(QDataStream& out, const QString& text) {
    out << static_cast<quint32>(text.size());
    for (const QChar c : text)
        out << static_cast<quint16>(c.unicode());
}

} // namespace

// One deflate stream kept for the whole run: pages are packed one after the other.
class PageCompressor {
public:
    PageCompressor() {
        if (deflateInit(&stream_, Z_BEST_SPEED) != Z_OK)
            throw EReportPrinter(QString::fromLatin1(messages::kStreamError));
    }
    ~PageCompressor() { deflateEnd(&stream_); }
    PageCompressor(const PageCompressor&) = delete;
    PageCompressor& operator=(const PageCompressor&) = delete;

    const QByteArray& pack(const QByteArray& bytes) {
        deflateReset(&stream_);
        packed_.resize(static_cast<qsizetype>(deflateBound(&stream_, bytes.size())));
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
        stream_.avail_in = static_cast<uInt>(bytes.size());
        stream_.next_out = reinterpret_cast<Bytef*>(packed_.data());
        stream_.avail_out = static_cast<uInt>(packed_.size());
        if (deflate(&stream_, Z_FINISH) != Z_STREAM_END)
            throw EReportPrinter(QString::fromLatin1(messages::kStreamError));
        packed_.resize(static_cast<qsizetype>(stream_.total_out));
        return packed_;
    }

private:
    z_stream stream_{};
    QByteArray packed_;
};

// ---- Writing ---------------------------------------------------------------------------------

PageStoreWriter::PageStoreWriter(QIODevice& device, QSizeF paperInches, double scaleX,
                                 double scaleY)
    : device_(device), start_(device.pos()), compressor_(std::make_unique<PageCompressor>()) {
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out.writeRawData(kMagic, sizeof kMagic);
    out << kVersion << paperInches.width() << paperInches.height() << scaleX << scaleY
        << quint32(0);
    put(header);
}

PageStoreWriter::~PageStoreWriter() = default;

void PageStoreWriter::put(const QByteArray& bytes) {
    if (device_.write(bytes) != bytes.size())
        throw EReportPrinter(
            QStringLiteral("%1 \"%2\"")
                .arg(QString::fromLatin1(messages::kStreamError), device_.errorString()));
}

void PageStoreWriter::putPage() {
    const QByteArray& packed = compressor_->pack(page_.bytes());
    QByteArray head;
    QDataStream out(&head, QIODevice::WriteOnly);
    out << quint8(kPage) << quint32(page_.bytes().size()) << quint32(packed.size());
    put(head);
    put(packed);
    page_.clear();
}

void PageStoreWriter::newPage() {
    if (pageOpen_)
        putPage();
    pageOpen_ = true;
    ++pages_;
    currentFont_ = -1; // every page names its font before its first text
}

int PageStoreWriter::colourNumber(const QColor& colour) {
    const QRgb rgba = colour.rgba();
    const auto known = std::find(colours_.begin(), colours_.end(), rgba);
    if (known != colours_.end())
        return static_cast<int>(known - colours_.begin());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint8(kColourDefinition) << quint32(rgba);
    put(bytes);
    colours_.push_back(rgba);
    return static_cast<int>(colours_.size()) - 1;
}

void PageStoreWriter::text(const QPointF& baseline, QStringView text, const ReportFont& font,
                           bool opaque) {
    if (currentFont_ < 0 || !(fonts_[static_cast<size_t>(currentFont_)] == font)) {
        const auto known = std::find(fonts_.begin(), fonts_.end(), font);
        if (known == fonts_.end()) {
            QByteArray bytes;
            QDataStream out(&bytes, QIODevice::WriteOnly);
            quint8 flags = (font.bold ? kBold : 0) | (font.italic ? kItalic : 0) |
                           (font.underline ? kUnderline : 0) | (font.strikeOut ? kStrikeOut : 0);
            out << quint8(kFontDefinition);
            writeString(out, font.name);
            out << font.size << flags << quint32(font.colour.rgba());
            put(bytes);
            fonts_.push_back(font);
            currentFont_ = static_cast<int>(fonts_.size()) - 1;
        } else {
            currentFont_ = static_cast<int>(known - fonts_.begin());
        }
        page_.font(currentFont_);
    }
    page_.text(baseline, text, opaque);
}

void PageStoreWriter::line(const QPointF& from, const QPointF& to, const QColor& colour) {
    page_.line(from, to, colourNumber(colour));
}

void PageStoreWriter::fillRect(const QRectF& rect, const QColor& colour) {
    page_.fillRect(rect, colourNumber(colour));
}

void PageStoreWriter::cell(const CellEdges& edges, int boxLines, const QColor& shade) {
    page_.cell(edges, boxLines, shade.isValid() ? colourNumber(shade) : -1);
}

void PageStoreWriter::finish() {
    if (pageOpen_)
        putPage();
    pageOpen_ = false;
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
    double number(double limit) {
        double value = 0;
        in_ >> value;
        check();
        if (!std::isfinite(value) || std::abs(value) > limit)
            damaged();
        return value;
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
    // Passes over `length` bytes; answers where they begin.
    qsizetype skip(quint32 length) {
        const qsizetype at = position();
        if (length > static_cast<quint64>(remaining()) ||
            in_.skipRawData(static_cast<int>(length)) != static_cast<int>(length))
            damaged();
        return at;
    }
    void magic() {
        char magic[sizeof kMagic] = {};
        if (in_.readRawData(magic, sizeof magic) != sizeof magic ||
            !std::equal(magic, magic + sizeof magic, kMagic))
            damaged();
    }
    qsizetype position() const { return static_cast<qsizetype>(in_.device()->pos()); }
    qint64 remaining() const { return bytes_.size() - in_.device()->pos(); }

private:
    void check() const {
        if (in_.status() != QDataStream::Ok)
            damaged();
    }
    QByteArray bytes_;
    QDataStream in_;
};

ReportFont readFont(Reader& in) {
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
    return definition;
}

// Collects a page's operations, a tab cell as the calls it stands for.
class OpCollector : public PageOutput {
public:
    explicit OpCollector(const std::vector<ReportFont>& fonts) : fonts_(fonts) {}
    void text(const QPointF& baseline, const QString& text, const ReportFont& font,
              bool opaque) override {
        // The font is one of the store's: its number is where it stands in the table.
        const auto index = static_cast<int>(&font - fonts_.data());
        ops.push_back(store::Text{baseline, text, index, opaque});
    }
    void line(const QPointF& from, const QPointF& to, const QColor& colour) override {
        ops.push_back(store::Line{from, to, colour});
    }
    void fillRect(const QRectF& rect, const QColor& colour) override {
        ops.push_back(store::Fill{rect, colour});
    }
    std::vector<store::Op> ops;

private:
    const std::vector<ReportFont>& fonts_;
};

} // namespace

PageStore PageStore::read(QIODevice& device) {
    return read(device.readAll());
}

PageStore PageStore::read(const QByteArray& bytes) {
    Reader in(bytes);
    PageStore store;
    store.bytes_ = bytes;
    in.magic();
    if (in.word() != kVersion)
        damaged();
    const double width = in.number(codec::kMaxInches);
    const double height = in.number(codec::kMaxInches);
    store.paper_ = QSizeF(width, height);
    store.scaleX_ = in.number(100000);
    store.scaleY_ = in.number(100000);
    if (width <= 0 || height <= 0 || store.scaleX_ <= 0 || store.scaleY_ <= 0)
        damaged();
    const quint32 pageCount = in.word();
    for (;;) {
        const quint8 code = in.byte();
        if (code == kEnd)
            break;
        switch (code) {
        case kFontDefinition:
            store.fonts_.push_back(readFont(in));
            break;
        case kColourDefinition:
            store.colours_.push_back(QColor::fromRgba(in.word()));
            break;
        case kPage: {
            const quint32 unpackedSize = in.word();
            const quint32 size = in.word();
            if (unpackedSize > static_cast<qint64>(size) * kMaxPackingRatio ||
                unpackedSize > kMaxPageBytes)
                damaged();
            const qsizetype offset = in.skip(size);
            store.pages_.push_back(PackedPage{offset, size, unpackedSize});
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

QByteArray PageStore::unpacked(int n) const {
    if (n < 1 || n > pageCount())
        damaged();
    const PackedPage& page = pages_[static_cast<size_t>(n - 1)];
    QByteArray bytes(page.unpackedSize, Qt::Uninitialized);
    uLongf size = static_cast<uLongf>(bytes.size());
    const int result = uncompress(reinterpret_cast<Bytef*>(bytes.data()), &size,
                                  reinterpret_cast<const Bytef*>(bytes_.constData() + page.offset),
                                  static_cast<uLong>(page.size));
    if (result != Z_OK || size != static_cast<uLongf>(page.unpackedSize))
        damaged();
    return bytes;
}

void PageStore::replay(int n, PageOutput& output) const {
    codec::decodePage(unpacked(n), fonts_, colours_, output);
}

const std::vector<store::Op>& PageStore::page(int n) const {
    if (const auto found = looked_.find(n); found != looked_.end())
        return found->second;
    OpCollector collector(fonts_);
    replay(n, collector);
    return looked_.emplace(n, std::move(collector.ops)).first->second;
}

void PageStore::drawPage(QPainter& painter, int n, double dpiX, double dpiY,
                         bool monochrome) const {
    painter.save();
    painter.scale(scaleX_ / 100.0, scaleY_ / 100.0);
    CanvasOutput output(painter, dpiX, dpiY, monochrome);
    try {
        replay(n, output);
    } catch (...) {
        painter.restore();
        throw;
    }
    painter.restore();
}

} // namespace report_engine
