#pragma once

#include <QMainWindow>
#include <functional>

class QMenu;
class QPushButton;
class QTreeView;

// What the main window needs from the logged-on session; injected so the window can be
// built without a log-on.
struct MainWindowContext {
    QString client;
    QString etcDir; // the user's client ETC directory, home of MOD00501.INI
    std::function<bool(const QString &right)> hasRight = [](const QString &) { return true; };
    std::function<bool(const QString &articleNr)> deleteArticle = [](const QString &) {
        return false;
    };
    std::function<void()> freePlugins;
};

// Height of a popup menu before it is shown, so that it can be placed above its button.
int estimatedMenuHeight(int entries, int separators);
// Top left corner for a menu opening above a button whose global top left is buttonTopLeft.
QPoint menuPositionAbove(QPoint buttonTopLeft, int entries, int separators);

class TMOD00501Form1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMOD00501Form1(MainWindowContext context, QWidget *parent = nullptr);

    void disableGoodsReceipt(); // the "-E" start parameter
    void deleteArticles();
    void fastEdit();
    QTreeView *stockList() const { return m_stockList; }
    QMenu *functionsMenu() const { return m_functions; }
    QMenu *fastEditMenu() const { return m_fastEdit; }
    // Article numbers of the selected rows, in row order (first column).
    QStringList selectedArticleNumbers() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool checkRight(const QString &right, const char *refusal) const;
    bool checkSelection() const;
    QPushButton *addButton(const char *name, const char *caption);

    MainWindowContext m_context;
    QTreeView *m_stockList = nullptr;
    QMenu *m_functions = nullptr;
    QMenu *m_fastEdit = nullptr;
    QPushButton *m_btNew = nullptr;
    QPushButton *m_btEdit = nullptr;
    QPushButton *m_btQuit = nullptr;
    class QWidget *m_panel = nullptr;
    class QHBoxLayout *m_panelLayout = nullptr;
};
