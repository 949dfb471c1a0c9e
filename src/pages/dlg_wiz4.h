// Step 4: the stamp at real size and magnified over a grey hatch; clicking a
// colour on the magnified stamp makes it transparent. Moving on writes the 8-bit
// stamp file into the temporary folder; when it cannot be written, the page says
// why and stays.
#pragma once

#include <memory>
#include <string>

#include "app/flash/wiz_page.h"
#include "dlg_mask.h"
#include "stamp/stamp_converter.h"

class CDlgWiz4 : public CDlgWizPage {
public:
    static constexpr POINT kRealSizeAt{379, 180};
    static constexpr LONG kRealSizeBox = 32;
    static constexpr POINT kMagnifiedAt{107, 167};
    static constexpr double kMagnifiedWidth = 128.0;

    explicit CDlgWiz4(CWnd* parent);

    bool OnInitDialog() override;
    void Next() override;
    void OnFSCommand(const std::string& command, const std::string& argument) override;
    void OnShowWindow(bool show, UINT status) override;
    void OnPaint() override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;

    void Redraw();
    const std::string& TemporaryFolder() const { return tempFolder_; }

    CStampConverter converter;
    LONG lastX = 0, lastY = 0;
    std::unique_ptr<CDlgMask> realSizeMask;
    std::unique_ptr<CDlgMask> magnifiedMask;

private:
    void MoveOn();
    void ShowStamp();

    std::string tempFolder_;
};

// Makes the folder (owner only) when it is missing, with the folders above it;
// false when it still is not there.
bool EnsureTemporaryFolder(const std::string& folder);
