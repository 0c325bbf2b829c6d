#include "ui/export_dlg.hpp"

#include "export/row_appender.hpp"
#include "res/resource.hpp"
#include "settings/db_ini.hpp"

namespace kelvara {
namespace {

settings::ExportFields FieldsOf(const CExportDlg& dialog) {
    return {.inputFile = dialog.m_strInputFile,
            .outputFile = dialog.m_strOutputFile,
            .tableName = dialog.m_strTableName,
            .password = dialog.m_strPassword,
            .userName = dialog.m_strUserName};
}

void ReportWriteError(CWnd& owner) {
    owner.MessageBox("Save to File", "Error Writing File", MB_OK);
}

} // namespace

const CCmdTarget::MessageMap CExportDlg::messageMap{
    &CDialog::messageMap, []() -> std::span<const MessageMapEntry> {
        static const MessageMapEntry entries[] = {
            {IDC_CONVERT, Cmd(&CExportDlg::OnConvert)},
            {IDC_BROWSE_INPUT, Cmd(&CExportDlg::OnBrowseInput)},
            {IDC_BROWSE_OUTPUT, Cmd(&CExportDlg::OnBrowseOutput)},
            {IDC_HELP_BUTTON, Cmd(&CExportDlg::OnHelpButton)},
        };
        return entries;
    }()};

const CCmdTarget::MessageMap* CExportDlg::GetMessageMap() const {
    return &messageMap;
}

CExportDlg::CExportDlg(CWnd* parent)
    : CDialog(IDD_EXPORT_DIALOG, parent), m_hIcon(AfxLoadIcon(IDR_MAINFRAME)) {}

CExportDlg::~CExportDlg() = default;

void CExportDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_INPUT_FILE, m_strInputFile);
    DDX_Text(pDX, IDC_OUTPUT_FILE, m_strOutputFile);
    DDX_Text(pDX, IDC_TABLE_NAME, m_strTableName);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
    DDX_Text(pDX, IDC_USER_NAME, m_strUserName);
}

BOOL CExportDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        const std::string aboutText = AfxLoadString(IDS_ABOUTBOX);
        if (!aboutText.empty()) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutText);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    LoadSettings();
    return TRUE; // the focus goes to the first tab stop, "Quit"
}

void CExportDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & SC_MASK) == IDM_ABOUTBOX) {
        // The About box is opened here once it exists.
        return;
    }
    CDialog::OnSysCommand(nID, lParam);
}

void CExportDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    dc.EraseBackground();
    const QRect client = GetClientRect();
    const QPoint origin = IconOrigin(client.width(), client.height(), GetSystemMetrics(SM_CXICON),
                                     GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(origin.x(), origin.y(), m_hIcon);
}

HCURSOR CExportDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CExportDlg::OnDestroy() {
    CDialog::OnDestroy();
    SaveSettings();
}

void CExportDlg::LoadSettings() {
    settings::ExportFields fields = FieldsOf(*this);
    if (settings::LoadFile(settings::kFileName, fields)) {
        m_strInputFile = fields.inputFile;
        m_strOutputFile = fields.outputFile;
        m_strTableName = fields.tableName;
        m_strPassword = fields.password;
        m_strUserName = fields.userName;
    }
    UpdateData(FALSE);
}

void CExportDlg::SaveSettings() {
    if (settings::SaveFile(settings::kFileName, FieldsOf(*this)) ==
        settings::SaveResult::CannotOpen) {
        ReportWriteError(*this);
    }
}

void CExportDlg::AppendRow(std::string rowLine) {
    csv::RowAppender output;
    if (!output.Open(m_strOutputFile)) {
        ReportWriteError(*this);
        return;
    }
    output.Write(rowLine);
}

void CExportDlg::OnConvert() {}

void CExportDlg::OnBrowseInput() {}

void CExportDlg::OnBrowseOutput() {}

void CExportDlg::OnHelpButton() {}

} // namespace kelvara
