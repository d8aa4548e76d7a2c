import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { downloadRequest, linkRequest, wantsHandOver } from "../../../extension/lib/requests.js";

describe("downloadRequest", () => {
  it("builds the request from Chromium's item, with the click's keys and page", () => {
    const item = {
      id: 3,
      url: "http://files.example/get?id=4",
      finalUrl: "https://mirror.example/get?id=4",
      referrer: "http://files.example/list.html",
      filename: "setup-2.4.exe",
      mime: "application/x-msdownload",
    };
    const click = { keys: ["ctrl"], tabUrl: "http://files.example/list.html" };
    assert.deepEqual(downloadRequest("d17", item, click, "GET"), {
      id: "d17",
      type: "download",
      url: "https://mirror.example/get?id=4",
      method: "GET",
      tabUrl: "http://files.example/list.html",
      referrer: "http://files.example/list.html",
      filename: "setup-2.4.exe",
      mime: "application/x-msdownload",
      keys: ["ctrl"],
    });
  });

  it("gives Firefox's full path as a bare name and leaves out what is unknown", () => {
    const cases = [
      ["/home/user/Downloads/tool.zip", "tool.zip"],
      ["C:\\Users\\user\\Downloads\\tool.zip", "tool.zip"],
      ["", undefined],
      [undefined, undefined],
    ];
    for (const [filename, expected] of cases) {
      const request = downloadRequest("d1", { url: "http://a.example/t", finalUrl: "", referrer: "", filename, mime: "" });
      assert.deepEqual(request, { id: "d1", type: "download", url: "http://a.example/t", ...(expected ? { filename: expected } : {}) }, filename);
    }
  });
});

describe("linkRequest", () => {
  it("sends the link with the page and the keys held", () => {
    assert.deepEqual(linkRequest("l3", { url: "https://host/manual.pdf", tabUrl: "https://host/docs.html", keys: ["alt", "ctrl"] }), {
      id: "l3",
      type: "link",
      url: "https://host/manual.pdf",
      tabUrl: "https://host/docs.html",
      keys: ["alt", "ctrl"],
    });
  });
});

describe("wantsHandOver", () => {
  it("asks about web and ftp downloads only, and never about its own", () => {
    const cases = [
      [{ url: "https://a.example/f.zip" }, true],
      [{ url: "FTP://a.example/f.zip" }, true],
      [{ url: "http://a.example/start", finalUrl: "blob:http://a.example/1" }, false],
      [{ url: "data:text/plain,hi" }, false],
      [{ url: "file:///tmp/f.zip" }, false],
      [{ url: "not a url" }, false],
      [{ url: "https://a.example/f.zip", byExtensionId: "own" }, false],
      [{ url: "https://a.example/f.zip", byExtensionId: "other" }, true],
    ];
    for (const [item, expected] of cases) assert.equal(wantsHandOver(item, "own"), expected, JSON.stringify(item));
  });
});
