// The dialog templates: Designer `.ui` files compiled into the resources and built at run time.
#pragma once

#include <QString>

class QDialog;
class QIODevice;

namespace tarvo {

// Builds the template `name` (the resource ":/dialogs/<name>.ui") into `dialog`: its caption,
// size and modality, its controls and their layouts. On failure answers false with the reason in
// `error`; the controls built before the failure stay in the dialog.
bool LoadDialogTemplate(const QString& name, QDialog& dialog, QString* error = nullptr);

// The same for a template read from `device`.
bool BuildDialogTemplate(QIODevice& device, QDialog& dialog, QString* error = nullptr);

} // namespace tarvo
