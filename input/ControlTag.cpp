#include "input/ControlTag.h"

#include <QVariant>
#include <QWidget>

namespace harvina {
namespace {
constexpr const char* kTagProperty = "harvinaTag";
}

QString ControlTag(const QWidget& control)
{
    return control.property(kTagProperty).toString();
}

void SetControlTag(QWidget& control, const QString& tag)
{
    control.setProperty(kTagProperty, tag);
}

} // namespace harvina
