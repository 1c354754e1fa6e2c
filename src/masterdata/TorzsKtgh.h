#pragma once

#include "masterdata/MasterDataList.h"

namespace zomi {

// The site (cost centre) list: browsing and maintenance, or choosing the site
// of a work order.
class Tfrm_TorzsKtgh : public MasterDataList {
    Q_OBJECT

  public:
    // Opens the list on the row with the key (-1: the first row).
    Tfrm_TorzsKtgh(int key, bool choosing, QWidget* parent = nullptr);

    QAction* aMasol = nullptr;

    void aMasolExecute();

  protected:
    int editRow(int key) override;
    void layoutColumns() override;
    void afterFirstOpen() override;
};

// Shows the list modally; in choosing mode gives the chosen site's key,
// otherwise (or when closed without a choice) -1.
int KtghLista(int key, bool choosing);

}  // namespace zomi
