// Serves a folder of static files (the web build's pages) on localhost, and
// prints the address to open. Also the browser tests' server.
//
//   node tools/serve_web.mjs [FOLDER] [PORT]     (build/web/pages, 8080)
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
};

// Starts serving FOLDER on 127.0.0.1:PORT (0: any free port); resolves to the server's base URL and the server.
export function serve(folder, port = 0) {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = normalize(join(root, path === '/' ? 'picture.html' : path));
    if (!file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream',
                                'Cache-Control': 'no-store' });
      response.end(body);
    } catch {
      response.writeHead(404).end('not found');
    }
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => done({ url: `http://127.0.0.1:${server.address().port}/`, server }));
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const folder = process.argv[2] ?? 'build/web/pages';
  const { url } = await serve(folder, Number(process.argv[3] ?? 8080));
  console.log(`Serving ${folder}: open ${url}picture.html or ${url}sketch.html (Ctrl+C ends it)`);
}
