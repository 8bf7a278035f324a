// Serves the web page's site on 127.0.0.1 (make web-run; the browser tests and the benchmark
// start it in their own process). A page's modules cannot load from file://, so it is always
// served.   node tools/serve_web.mjs [DIR] [PORT]   (DIR: build/web; PORT: 8022, 0 for any)
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { argv } from 'node:process';
import { fileURLToPath } from 'node:url';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.wav': 'audio/wav',
  '.scn': 'text/plain; charset=utf-8',
};

// Starts serving `dir`, and under each prefix of `mounts` ({ '/test/': DIR }) another folder;
// resolves to { url, server, close() } once listening.
export function serve(dir, port = 0, mounts = {}) {
  const server = createServer(async (req, res) => {
    try {
      let path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
      let root = resolve(dir);
      for (const [prefix, folder] of Object.entries(mounts)) {
        if (!path.startsWith(prefix)) continue;
        root = resolve(folder);
        path = path.slice(prefix.length - 1);
      }
      let file = normalize(join(root, path));
      if (file !== root && !file.startsWith(root + sep)) throw new Error('outside');
      if ((await stat(file)).isDirectory()) file = join(file, 'index.html');
      const body = await readFile(file);
      res.writeHead(200, {
        'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      res.end(req.method === 'HEAD' ? undefined : body);
    } catch {
      res.writeHead(404, { 'Content-Type': 'text/plain' });
      res.end('not found\n');
    }
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => {
      const url = `http://127.0.0.1:${server.address().port}/`;
      const close = () =>
        new Promise((closed) => {
          server.closeAllConnections?.();
          server.close(() => closed());
        });
      done({ url, server, close });
    });
  });
}

if (argv[1] && resolve(argv[1]) === fileURLToPath(import.meta.url)) {
  const here = fileURLToPath(new URL('..', import.meta.url));
  const dir = argv[2] ?? join(here, 'build/web');
  const { url } = await serve(dir, argv[3] === undefined ? 8022 : Number(argv[3]));
  console.log(`Crateworks is served at ${url} (Ctrl+C stops it)`);
}
