#pragma once

#include "masterdata/MasterDataList.h"

namespace zomi {

// The contractor list: browsing and maintenance, or choosing a contractor
// for a work order.
class Tfrm_TorzsVallalkozo : public MasterDataList {
    Q_OBJECT

  public:
    // Opens the list on the row with the key (-1: the first row).
    Tfrm_TorzsVallalkozo(int key, bool choosing, QWidget* parent = nullptr);

    QAction* aMasol = nullptr;

    void aMasolExecute();

  protected:
    int editRow(int key) override;
    void layoutColumns() override;
    void afterFirstOpen() override;
};

// Shows the list modally; in choosing mode gives the chosen contractor's key,
// otherwise (or when closed without a choice) -1.
int VallalkozoLista(int key, bool choosing);

}  // namespace zomi
