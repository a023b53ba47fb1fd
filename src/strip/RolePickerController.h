#pragma once

#include "FloatingPanel.h"
#include "library/RoleLibrary.h"

#include <QObject>
#include <QPointer>
#include <QSize>

namespace pellora {

class RolePickerView;

/// Opens the role picker from the strip in a floating panel of its own, reuses that panel on later
/// openings (where the user left it), and closes it when the strip goes away.
class RolePickerController final : public QObject {
    Q_OBJECT

public:
    static constexpr QSize pickerSize{420, 520};

    explicit RolePickerController(QObject* parent = nullptr);
    ~RolePickerController() override;

    // The library the strip's panels work on; a non-owning binding that empties itself when the
    // library is destroyed. Set by the strip controller on every show.
    RoleLibrary* library() const { return m_library; }
    void setLibrary(RoleLibrary* library) { m_library = library; }

    // Opens the picker panel (centred the first time) or brings the existing one forward, showing `library`.
    void open(RoleLibrary* library);
    // Closes and forgets the picker panel.
    void close();

    // The picker's panel while it exists.
    FloatingPanel* panel() const { return m_pickerPanel; }

private:
    RolePickerView* makePicker(RoleLibrary* library);

    QPointer<RoleLibrary> m_library;
    QPointer<FloatingPanel> m_pickerPanel;
};

} // namespace pellora
