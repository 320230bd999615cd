#pragma once

#include <QRect>

class ImageDocument;
class QPainter;

// Paints the part `exposed` (paint-box pixels) of the document's view: the image at its
// magnification, only as far as it is exposed (a 16:1 view of a large picture is never made
// whole), then the marching ants, the free-hand outline and the rubber band. The painter works
// in paint-box coordinates. Reads the document only.
void paintDocumentView(QPainter& painter, const ImageDocument& doc, const QRect& exposed);

// The marching ants over `exposed`: the outline points as white and black runs of five, in
// squares of zoomin pixels when magnified.
void drawMarchingAnts(QPainter& painter, const ImageDocument& doc, const QRect& exposed);
