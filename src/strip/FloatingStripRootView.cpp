#include "FloatingStripRootView.h"

#include "FloatingStripView.h"
#include "library/DisplayModeStore.h"

#include <QVBoxLayout>

namespace pellora {

FloatingStripRootView::FloatingStripRootView(RoleLibrary* library, DisplayModeStore* store,
                                             FloatingStripModalManager* modalManager, QWidget* parent)
    : QWidget(parent), m_store(store), m_view(new FloatingStripView(library, modalManager, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

} // namespace pellora
