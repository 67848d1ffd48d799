#include "app/netcdfChoiceDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

NetcdfChoiceDialog::NetcdfChoiceDialog(QWidget* parent, const FieldRequest::Candidates& candidates)
    : QDialog(parent)
{
    setWindowTitle(tr("Open NetCDF Field"));
    auto* form = new QFormLayout(this);
    if (!candidates.variables.empty())
    {
        u = variableBox(candidates, candidates.u.empty() ? candidates.variables[0] : candidates.u);
        v = variableBox(candidates, candidates.v.empty() ? candidates.variables[1] : candidates.v);
        form->addRow(tr("Eastward (u)"), u);
        form->addRow(tr("Northward (v)"), v);
    }
    if (candidates.levels > 1)
    {
        level = new QSpinBox(this);
        level->setRange(0, candidates.levels - 1);
        form->addRow(tr("Level (0 to %1)").arg(candidates.levels - 1), level);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QComboBox* NetcdfChoiceDialog::variableBox(const FieldRequest::Candidates& candidates,
                                           const std::string& current)
{
    auto* box = new QComboBox(this);
    for (const std::string& name : candidates.variables)
        box->addItem(QString::fromStdString(name));
    box->setCurrentText(QString::fromStdString(current));
    return box;
}

bool NetcdfChoiceDialog::choose(QWidget* parent, const FieldRequest::Candidates& candidates,
                                NetcdfField::Selection& selection)
{
    NetcdfChoiceDialog dialog(parent, candidates);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (dialog.u)
    {
        selection.u = dialog.u->currentText().toStdString();
        selection.v = dialog.v->currentText().toStdString();
    }
    if (dialog.level)
        selection.level = dialog.level->value();
    return true;
}
