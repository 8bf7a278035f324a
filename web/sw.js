// After one visit the whole site is kept, so the game plays with the network gone. The list
// of files and the version they belong to come from files.json, which make web writes; a new
// version is fetched whole on the next visit online and replaces the old one.
const kPrefix = 'crateworks-';

async function siteFiles() {
  const r = await fetch('files.json', { cache: 'no-store' });
  return r.json();
}

self.addEventListener('install', (event) => {
  event.waitUntil(
    (async () => {
      const site = await siteFiles();
      const cache = await caches.open(kPrefix + site.version);
      await cache.addAll(['./', 'files.json', ...site.files]);
      await self.skipWaiting();
    })(),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    (async () => {
      const site = await siteFiles().catch(() => null);
      if (site) {
        for (const name of await caches.keys())
          if (name.startsWith(kPrefix) && name !== kPrefix + site.version) await caches.delete(name);
      }
      await self.clients.claim();
    })(),
  );
});

// The network first for the list of files (a new version shows at once), the kept copy for
// everything else; a page's address with ?play= is the page itself.
self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== location.origin) return;
  event.respondWith(
    (async () => {
      const options = { ignoreSearch: event.request.mode === 'navigate' };
      if (url.pathname.endsWith('/files.json')) {
        try {
          return await fetch(event.request);
        } catch {
          return (await caches.match(event.request)) ?? Response.error();
        }
      }
      const kept = await caches.match(event.request, options);
      return kept ?? fetch(event.request);
    })(),
  );
});
