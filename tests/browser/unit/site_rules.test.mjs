import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { cleanSiteList, hostOf, keepingRule, normalizeSitePattern, siteMatches } from "../../../extension/lib/site_rules.js";
import { effectiveSettings, withSite, withoutSite } from "../../../extension/lib/settings.js";

describe("site patterns", () => {
  it("keeps what names a host and refuses what does not", () => {
    const cases = [
      ["example.com", "example.com"],
      ["  Example.COM ", "example.com"],
      ["*.example.com", "*.example.com"],
      ["https://www.example.com:8443/files?x=1", "www.example.com"],
      ["user:pw@files.example.org/path", "files.example.org"],
      ["*.Files.Example.org", "*.files.example.org"],
      ["example.com.", "example.com"],
      ["bücher.example", "xn--bcher-kva.example"],
      ["[2001:db8::1]", "[2001:db8::1]"],
      ["localhost", "localhost"],
      ["", null],
      ["   ", null],
      ["*", null],
      ["*.", null],
      ["*.com", null],
      ["**.example.com", null],
      ["www.*.example.com", null],
      ["exa mple.com", null],
      ["-bad.example.com", null],
      ["bad-.example.com", null],
      ["*.[2001:db8::1]", null],
      [`${"a".repeat(64)}.example.com`, null],
      [`${"a".repeat(63)}.example.com`, `${"a".repeat(63)}.example.com`],
      [42, null],
    ];
    for (const [input, expected] of cases) assert.equal(normalizeSitePattern(input), expected, JSON.stringify(input));
  });

  it("matches a name exactly, and a pattern its base and every name below, never a look-alike", () => {
    const cases = [
      ["example.com", "example.com", true],
      ["example.com", "www.example.com", false],
      ["*.example.com", "example.com", true],
      ["*.example.com", "a.b.example.com", true],
      ["*.example.com", "badexample.com", false],
      ["*.example.com", "example.com.evil.test", false],
      ["*.example.com", "example.org", false],
      ["www.example.com", "example.com", false],
    ];
    for (const [pattern, host, expected] of cases) assert.equal(siteMatches(pattern, host), expected, `${pattern} ${host}`);
  });

  it("keeps a download when its tab, referrer or own host matches, and skips what is no URL", () => {
    const rules = ["files.example.net", "*.intranet.test"];
    assert.equal(keepingRule(rules, ["https://www.intranet.test/list", "https://cdn.other.test/f.zip"]), "*.intranet.test");
    assert.equal(keepingRule(rules, [undefined, null, "https://FILES.example.net/f.zip"]), "files.example.net");
    assert.equal(keepingRule(rules, ["https://example.net/", "not a url", ""]), null);
    assert.equal(keepingRule([], ["https://files.example.net/"]), null);
    assert.equal(hostOf("https://Example.com./x"), "example.com");
    assert.equal(hostOf("about:blank"), null);
  });

  it("cleans a stored list: entries normalized, repeats and junk dropped", () => {
    assert.deepEqual(cleanSiteList(["Example.com", "example.com", "*.a.test", 7, "", "http://b.test/x"]), ["example.com", "*.a.test", "b.test"]);
    assert.deepEqual(cleanSiteList("example.com"), []);
  });
});

describe("settings: a managed value always wins", () => {
  it("uses the defaults without anything stored", () => {
    assert.deepEqual(effectiveSettings(), {
      handOver: true, handOverLocked: false, switchHidden: false, keptSites: [], lockedSites: [], userSites: [],
    });
  });

  it("locks the switch to the policy's value, whatever the user chose", () => {
    for (const [user, policy] of [[false, true], [true, false], [undefined, true]]) {
      const settings = effectiveSettings({ handOver: user }, { handOver: policy });
      assert.equal(settings.handOver, policy);
      assert.equal(settings.handOverLocked, true);
    }
    // Firefox's registry policies arrive as the numbers 0 and 1; anything else
    // of the wrong type is no policy.
    assert.deepEqual([effectiveSettings({}, { handOver: 0 }).handOver, effectiveSettings({ handOver: false }, { handOver: 1, hideSwitch: 1 }).switchHidden], [false, true]);
    for (const odd of ["true", 2, null]) assert.equal(effectiveSettings({ handOver: false }, { handOver: odd, hideSwitch: odd }).handOverLocked, false);
  });

  it("joins the policy's sites to the user's, which cannot shorten them", () => {
    const settings = effectiveSettings({ keptSites: ["mine.test", "Corp.test"] }, { keptSites: ["corp.test", "*.hr.corp.test"], hideSwitch: true });
    assert.deepEqual(settings.lockedSites, ["corp.test", "*.hr.corp.test"]);
    assert.deepEqual(settings.userSites, ["mine.test"]);
    assert.deepEqual(settings.keptSites, ["corp.test", "*.hr.corp.test", "mine.test"]);
    assert.equal(settings.switchHidden, true);
    // Removing touches only the user's list; adding a locked entry stores nothing.
    assert.deepEqual(withoutSite(settings.userSites, "corp.test"), ["mine.test"]);
    assert.deepEqual(withSite(settings.userSites, settings.lockedSites, "corp.test"), ["mine.test"]);
    assert.deepEqual(withSite(settings.userSites, settings.lockedSites, "mine.test"), ["mine.test"]);
    assert.deepEqual(withSite(settings.userSites, settings.lockedSites, "new.test"), ["mine.test", "new.test"]);
  });
});
