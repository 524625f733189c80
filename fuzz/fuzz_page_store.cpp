// The page store's reader and the replay of its pages. The first byte chooses the input: a
// whole store (read, then every page replayed), or the operations of one unpacked page, which
// random bytes would hardly reach through the pages' compression.

#include "report_engine/page_codec.h"
#include "report_engine/page_store.h"

#include <cstddef>
#include <cstdint>

namespace {

class NullOutput : public report_engine::PageOutput {
public:
    void text(const QPointF&, const QString& text, const report_engine::ReportFont&,
              bool) override {
        characters += text.size();
    }
    void line(const QPointF&, const QPointF&, const QColor&) override { ++lines; }
    void fillRect(const QRectF&, const QColor&) override { ++fills; }
    qsizetype characters = 0;
    int lines = 0;
    int fills = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    NullOutput output;
    try {
        if (data[0] % 2 == 0) {
            const auto store = report_engine::PageStore::read(bytes);
            for (int page = 1; page <= store.pageCount(); ++page) {
                try {
                    store.replay(page, output);
                } catch (const report_engine::EReportPrinter&) {
                }
            }
        } else {
            static const std::vector<report_engine::ReportFont> fonts(3);
            static const std::vector<QColor> colours{Qt::black, Qt::white, Qt::gray};
            report_engine::codec::decodePage(bytes, fonts, colours, output);
        }
    } catch (const report_engine::EReportPrinter&) {
    }
    return 0;
}
