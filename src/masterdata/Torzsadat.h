#pragma once

#include "masterdata/MasterDataList.h"

namespace zomi {

// The list of a simple lookup table T with the key column T and the name
// column T + "_nev" (signatories, statuses): browsing and maintenance, or
// choosing a row.
class Tfrm_Torzsadat : public MasterDataList {
    Q_OBJECT

  public:
    Tfrm_Torzsadat(int key, bool choosing, const QString& table, const QString& caption,
                   QWidget* parent = nullptr);

    QAction* aKeres = nullptr;

    const QString& table() const { return design_.table; }
    QString nameField() const { return design_.table + QStringLiteral("_nev"); }
    // After the window closed as chosen: the chosen row's name as shown.
    const QString& chosenName() const { return chosenName_; }

    void aKeresExecute();

  protected:
    int editRow(int key) override;
    void layoutColumns() override;
    void afterFirstOpen() override;
    void done(int result) override;

  private:
    QString chosenName_;
};

// Shows the list of the table modally. In choosing mode gives the chosen
// row's key and sets chosenName (when given) to its name; otherwise, or when
// closed without a choice, gives -1 and leaves the name alone.
int TorzsadatLista(int key, bool choosing, const QString& table, const QString& caption,
                   QString* chosenName);

}  // namespace zomi
