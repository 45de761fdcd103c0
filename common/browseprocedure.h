#pragma once
// Runs a browse procedure over file R with its update form (see runBrowse in browsewindow.h).
#include "app.h"
#include "browsewindow.h"
#include "formwindow.h"

template <class R>
int runBrowse(BrowseConfig config,
              std::function<std::unique_ptr<FormWindow>(storage::Table &, int request, QWidget *)> makeForm) {
    const bool select = GlobalRequest() == Request::SelectRecord;
    GlobalRequest() = Request::None;
    auto *window = new BrowseWindow(App::db(), R::layout().def(), std::move(config), select);
    BrowseConfig &c = window->config();
    if (makeForm) {
        c.form = [window, makeForm](int request, qint64 &pos) {
            std::unique_ptr<FormWindow> form = makeForm(window->table(), request, window);
            form->enableNavigation();
            int response = form->run(pos);
            pos = form->position();
            return response;
        };
    }
    c.select = [](const storage::Row &row) { R::layout().fromRow(SharedBuffer<R>(), row); };
    return BrowseWindow::run(window);
}
