#pragma once

#include "foundation/OwnedDib.h"
#include "foundation/recovery/RecoveryKeeper.h"

#include <functional>

class ImageDocument;

// The picture's side of its recovery copies, written as BMP files (they keep every depth and
// the palette exactly). The image is copied on the window's thread a band of rows at a time into
// memory made ready on the writing thread and kept between copies, so that even a large picture
// holds the window only for moments.
class PictureRecoverySource : public recovery::Source {
public:
    // `stitchPicture`: the document is a stitch's symbol being edited. `windowAtRest` tells
    // whether the window is free of dialogs that change the image for a preview.
    PictureRecoverySource(ImageDocument& doc, bool stitchPicture,
                          std::function<bool()> windowAtRest);

    bool changed() const override;
    std::optional<std::uint64_t> revision() const override;
    bool atRest() const override;
    recovery::Description describe() const override;
    std::unique_ptr<recovery::Snapshot> snapshot() override;
    void dropped() override { spare_.reset(); }

    void setStitchPicture(bool stitchPicture) { stitchPicture_ = stitchPicture; }

private:
    friend class PictureSnapshot;

    ImageDocument& doc_;
    bool stitchPicture_;
    std::function<bool()> windowAtRest_;
    OwnedDib spare_; // the memory of the last copy, for the next one of the same size
};
