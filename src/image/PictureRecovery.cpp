#include "PictureRecovery.h"

#include "ImageDocument.h"

#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cstring>

namespace {

bool sameShape(const dib& a, const dib& b) {
    return a.poi && b.poi && DIBWidth(a) == DIBWidth(b) && DIBHeight(a) == DIBHeight(b) &&
           DIBBitCount(a) == DIBBitCount(b) && a.bytew == b.bytew;
}

} // namespace

class PictureSnapshot : public recovery::Snapshot {
public:
    PictureSnapshot(PictureRecoverySource& source, OwnedDib spare)
        : source_(source), copy_(std::move(spare)), width_(DIBWidth(source.doc_.di.get())),
          height_(DIBHeight(source.doc_.di.get())), bits_(DIBBitCount(source.doc_.di.get())) {}

    ~PictureSnapshot() override {
        if (copy_) {
            source_.spare_ = std::move(copy_);
        }
    }

    PictureSnapshot(const PictureSnapshot&) = delete;
    PictureSnapshot& operator=(const PictureSnapshot&) = delete;

    void prepare() override {
        if (DIBWidth(copy_.get()) == width_ && DIBHeight(copy_.get()) == height_ &&
            DIBBitCount(copy_.get()) == bits_) {
            return;
        }
        copy_.reset();
        dib fresh;
        grafikrw3::newdib(&fresh, width_, height_, bits_, nullptr, 0);
        copy_.reset(fresh);
        if (copy_) {
            // Fresh memory costs a fault per page on its first touch: here, not in the window.
            std::memset(copy_->poi, 0, std::size_t(copy_->bytew) * std::size_t(height_));
        }
    }

    Step take(const QDeadlineTimer& deadline) override {
        const dib& image = source_.doc_.di.get();
        if (!sameShape(image, copy_.get())) {
            return Step::Failed;
        }
        if (nextRow_ == 0) {
            const std::size_t table = DIBColorTableSize(image) * sizeof(RGBQUAD);
            std::memcpy(&copy_->pmi->bmiHeader, &image.pmi->bmiHeader, sizeof(BITMAPINFOHEADER));
            std::memcpy(copy_->pmi->colors(), image.pmi->colors(), table);
            copy_->pal = image.pal;
            copy_->ispal = image.ispal;
        }
        // Bands of about 256 KB between looks at the clock.
        const std::int32_t band = std::max(1, (1 << 18) / std::max(image.bytew, 1));
        while (nextRow_ < height_) {
            const std::int32_t rows = std::min(band, height_ - nextRow_);
            const std::size_t offset = std::size_t(nextRow_) * std::size_t(image.bytew);
            std::memcpy(copy_->poi + offset, image.poi + offset,
                        std::size_t(rows) * std::size_t(image.bytew));
            nextRow_ += rows;
            if (deadline.hasExpired() && nextRow_ < height_) {
                return Step::More;
            }
        }
        return Step::Done;
    }

    bool write(QIODevice& out, const ProgressCallback& progress) override {
        return grafikrw3::WriteDib(copy_.get(), out, int(grafikrw3::ImageFormat::Bmp), progress);
    }

private:
    PictureRecoverySource& source_;
    OwnedDib copy_;
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t bits_;
    std::int32_t nextRow_ = 0;
};

PictureRecoverySource::PictureRecoverySource(ImageDocument& doc, bool stitchPicture,
                                             std::function<bool()> windowAtRest)
    : doc_(doc), stitchPicture_(stitchPicture), windowAtRest_(std::move(windowAtRest)) {}

bool PictureRecoverySource::changed() const {
    return doc_.changed && doc_.di;
}

std::optional<std::uint64_t> PictureRecoverySource::revision() const {
    return doc_.revision();
}

bool PictureRecoverySource::atRest() const {
    return !doc_.inPaint && doc_.PaintZeug == paintzeug::kNone &&
           (!windowAtRest_ || windowAtRest_());
}

recovery::Description PictureRecoverySource::describe() const {
    recovery::Description d;
    d.kind = recovery::Kind::Picture;
    d.fileName = doc_.SaveFilename;
    d.title = doc_.WinName;
    d.format = doc_.SaveFormat;
    d.stitchPicture = stitchPicture_;
    return d;
}

std::unique_ptr<recovery::Snapshot> PictureRecoverySource::snapshot() {
    if (!doc_.di) {
        return nullptr;
    }
    return std::make_unique<PictureSnapshot>(*this, std::move(spare_));
}
