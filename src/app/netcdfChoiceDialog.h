// Asks which variables hold u and v, and which level to show, for a NetCDF file that leaves
// them open; shows only the choices the file offers.
#pragma once

#include "app/fieldRequest.h"

#include <QDialog>

class QComboBox;
class QSpinBox;

class NetcdfChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    NetcdfChoiceDialog(QWidget* parent, const FieldRequest::Candidates& candidates);

    // Runs the dialog; false when the user cancels.
    static bool choose(QWidget* parent, const FieldRequest::Candidates& candidates,
                       NetcdfField::Selection& selection);

    QComboBox* u = nullptr; // null when the variables are not asked for
    QComboBox* v = nullptr;
    QSpinBox* level = nullptr; // null when the file has one level

private:
    QComboBox* variableBox(const FieldRequest::Candidates& candidates, const std::string& current);
};
