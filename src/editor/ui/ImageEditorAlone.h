#pragma once

#include <QString>

#include <memory>

class TDIBMainForm;

// The image editor on its own, without a chart: the editor window alone, with `file` loaded
// (or a new blank picture when `file` is empty). A file that does not exist yet names a new
// picture that Save writes there. Closing the window asks about unsaved changes; when it has
// closed, nothing else keeps the program running. The window is shown.
std::unique_ptr<TDIBMainForm> openImageEditorAlone(const QString& file);
