#pragma once

#include "library/DisplayModeStore.h"

#include <QPointer>
#include <QWidget>

namespace pellora {

class RoleLibrary;
class FloatingStripModalManager;
class FloatingStripView;

/// What the strip panel hosts: one FloatingStripView, starting with its detail card closed, given the
/// shared library, the display-mode store and the modal manager.
class FloatingStripRootView final : public QWidget {
    Q_OBJECT

public:
    FloatingStripRootView(RoleLibrary* library, DisplayModeStore* store, FloatingStripModalManager* modalManager,
                          QWidget* parent = nullptr);

    FloatingStripView* stripView() const { return m_view; }
    DisplayModeStore* store() const { return m_store; }

private:
    QPointer<DisplayModeStore> m_store;
    FloatingStripView* m_view;
};

} // namespace pellora
