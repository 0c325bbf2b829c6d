#pragma once
// The main dialog: five export fields, their edit controls, and the commands
// that act on them.

#include "export/row_appender.hpp"
#include "platform/ui/dialog.hpp"

#include <string>

namespace kelvara {

class CExportDlg : public CDialog {
public:
    explicit CExportDlg(CWnd* parent = nullptr);
    ~CExportDlg() override;

    // Export fields, exchanged with edits 1000, 1001, 1005, 1007 and 1008.
    std::string m_strInputFile;
    std::string m_strOutputFile;
    std::string m_strTableName;
    std::string m_strPassword;
    std::string m_strUserName;

    // Appends one row line to the output file. Outside an export, a file that
    // cannot be opened or written is reported here. During an export the file
    // stays open from the first row to the last, and a failure stops the
    // export, which reports it once. False when the line did not reach the file.
    bool AppendRow(std::string rowLine);

    // Fill the fields from db.ini and show them / write the fields back.
    void LoadSettings();
    void SaveSettings();

    const MessageMap* GetMessageMap() const override;
    static const MessageMap messageMap;

    BOOL OnInitDialog() override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    void OnDestroy() override;
    HCURSOR OnQueryDragIcon();

    void OnConvert();
    void OnBrowseInput();
    void OnBrowseOutput();
    void OnHelpButton();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    HICON m_hIcon;

private:
    csv::RowAppender m_output;
    bool m_bExporting = false;
};

} // namespace kelvara
