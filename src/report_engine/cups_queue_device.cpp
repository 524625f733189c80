#include "report_engine/cups_queue_device.h"

#include <QDir>

#include <cups/cups.h>

namespace report_engine {

namespace {

// The destinations CUPS lists, freed on every way out.
class Destinations {
public:
    Destinations() : count_(cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
    ~Destinations() { cupsFreeDests(count_, dests_); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    int count() const { return count_; }
    cups_dest_t& operator[](int i) const { return dests_[i]; }
    cups_dest_t* find(const QString& queue) const {
        return cupsGetDest(queue.toUtf8().constData(), nullptr, count_, dests_);
    }

private:
    cups_dest_t* dests_ = nullptr;
    int count_ = 0;
};

// The queue's default paper, when its printer says; sizes come in hundredths of a millimetre.
std::optional<QPageSize> defaultPaper(cups_dest_t& dest) {
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, &dest);
    if (info == nullptr)
        return std::nullopt;
    cups_size_t size{};
    const bool known = cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, &dest, info, 0, &size) != 0;
    cupsFreeDestInfo(info);
    if (!known || size.width <= 0 || size.length <= 0)
        return std::nullopt;
    return QPageSize(QSizeF(size.width / 100.0, size.length / 100.0), QPageSize::Millimeter,
                     QString(), QPageSize::FuzzyMatch);
}

// The media option for the job's paper: the queue would otherwise print on its own default
// paper and scale the pages to it. Landscape pages are wide in the file; CUPS turns them.
QByteArray mediaOption(const QPageSize& paper) {
    if (paper.id() != QPageSize::Custom)
        return paper.key().toLatin1();
    const QSizeF inches = paper.size(QPageSize::Inch);
    return QStringLiteral("Custom.%1x%2in")
        .arg(inches.width(), 0, 'f', 2)
        .arg(inches.height(), 0, 'f', 2)
        .toLatin1();
}

} // namespace

CupsQueueDevice::CupsQueueDevice(const QString& queue)
    : queue_(queue), pdf_(QString(), localePaper()) {
    const Destinations destinations;
    cups_dest_t* dest = destinations.find(queue);
    if (dest == nullptr)
        return;
    model_ = QString::fromUtf8(
        cupsGetOption("printer-make-and-model", dest->num_options, dest->options));
    if (const auto paper = defaultPaper(*dest)) {
        QPageLayout layout = pdf_.pageLayout();
        layout.setPageSize(*paper);
        pdf_.setPageLayout(layout);
    }
}

CupsQueueDevice::~CupsQueueDevice() = default;

QPagedPaintDevice& CupsQueueDevice::startJob() {
    aborted_ = false;
    spool_ = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                              QStringLiteral("/volumara-job-XXXXXX.pdf"));
    // Without a spool file the writer gets no path, painting fails to begin and the job
    // reports that it could not start.
    pdf_.setPath(spool_->open() ? spool_->fileName() : QString());
    spool_->close();
    return pdf_.startJob();
}

QString CupsQueueDevice::finishJob(bool aborted) {
    pdf_.finishJob(aborted); // writes the end of the document
    QString failure;
    if (!aborted && !aborted_ && spool_) {
        cups_option_t* options = nullptr;
        int optionCount = 0;
        optionCount =
            cupsAddOption("copies", QByteArray::number(copies_).constData(), optionCount, &options);
        optionCount = cupsAddOption("media", mediaOption(pdf_.pageLayout().pageSize()).constData(),
                                    optionCount, &options);
        const QByteArray title =
            (docName().isEmpty() ? QStringLiteral("Report") : docName()).toUtf8();
        lastJobId_ = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue_.toUtf8().constData(),
                                    spool_->fileName().toUtf8().constData(), title.constData(),
                                    optionCount, options);
        cupsFreeOptions(optionCount, options);
        if (lastJobId_ == 0)
            failure = QStringLiteral("The printer \"%1\" did not take the print job: %2")
                          .arg(queue_, QString::fromUtf8(cupsLastErrorString()));
    }
    spool_.reset(); // CUPS has copied the file into its spool by now
    return failure;
}

QStringList cupsQueueNames() {
    const Destinations destinations;
    QStringList names;
    for (int i = 0; i < destinations.count(); ++i)
        if (destinations[i].instance == nullptr)
            names << QString::fromUtf8(destinations[i].name);
    return names;
}

QString cupsDefaultQueue() {
    const Destinations destinations;
    for (int i = 0; i < destinations.count(); ++i)
        if (destinations[i].is_default != 0)
            return QString::fromUtf8(destinations[i].name);
    return {};
}

} // namespace report_engine
