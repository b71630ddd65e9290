// The gallery window: each widget with sample values, grouped as the module windows use
// them, and the two shared dialogs set into the window.
#pragma once

#include <QWidget>

#include <memory>

namespace tamsel::gallery {

class TGallerySource;

class TGalleryWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit TGalleryWindow(QWidget* parent = nullptr);
    ~TGalleryWindow() override;

  private:
    QWidget* digitDisplays();
    QWidget* radixDisplays();
    QWidget* lampRows();
    QWidget* statusLights();
    QWidget* numericField();
    QWidget* inputDialogs();
    QWidget* errorReport();

    std::unique_ptr<TGallerySource> m_source;
};

} // namespace tamsel::gallery
