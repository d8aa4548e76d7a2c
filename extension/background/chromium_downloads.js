// Chromium holds a download in onDeterminingFilename until the listener
// calls suggest(): the file keeps arriving in a temporary file meanwhile,
// but it is never given its name or finished. Asking the host there means a
// fast download cannot complete before the answer, and the item already
// carries the name a Content-Disposition header gave it.

export function watchChromiumDownloads(downloads, askAboutDownload) {
  downloads.onDeterminingFilename.addListener((item, suggest) => {
    const asked = askAboutDownload(item);
    if (asked === null) return false;
    asked.then(
      (verdict) => {
        // A cancelled download must not be suggested a name: the cancel
        // ends it, and removes its temporary file.
        if (verdict.action === "cancel") discard(downloads, item.id);
        else suggest();
      },
      () => suggest(),
    );
    return true;
  });
}

async function discard(downloads, id) {
  await downloads.cancel(id).catch(() => {});
  // Trevalon has it: leave no trace in the browser's list either.
  await downloads.erase({ id }).catch(() => {});
}
