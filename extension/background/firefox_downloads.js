// Firefox cannot hold a download while the host decides: there is no
// onDeterminingFilename. The download runs from onCreated on; when the host
// takes it, it is cancelled, which removes the partly written file, or, if
// it finished meanwhile, its file is removed.

export function watchFirefoxDownloads(downloads, askAboutDownload) {
  downloads.onCreated.addListener((item) => {
    const asked = askAboutDownload(item);
    if (asked === null) return;
    asked.then((verdict) => {
      if (verdict.action === "cancel") discard(downloads, item.id);
    });
  });
}

async function discard(downloads, id) {
  await downloads.cancel(id).catch(() => {});
  const [item] = await downloads.search({ id }).catch(() => []);
  if (item?.state === "complete" && item.exists !== false) {
    await downloads.removeFile(id).catch(() => {});
  }
  await downloads.erase({ id }).catch(() => {});
}
