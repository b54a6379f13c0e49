// SPDX-License-Identifier: MIT
// The Gallery's viewer, on top of the page's plain links: a thumbnail opens its item full-screen in the
// viewer library (pictures zoom, movies and sounds play), the address shows #<item id> while it is open,
// opening the page at #<item id> opens that item, Back closes it, and closing returns focus to the
// thumbnail of the item last shown. Without this script every thumbnail is still a link to its file.
(function () {
  'use strict';
  var main = document.querySelector('main');
  var script = document.currentScript;
  if (!main || !script || !document.addEventListener) {
    return;
  }
  // The viewer library and its style sheet beside this script, loaded when first needed: a page of
  // thousands of items opens without them.
  var folder = script.src.slice(0, script.src.lastIndexOf('/') + 1);
  var waiting = null;
  var labels = (main.getAttribute('data-labels') || '').split('|');
  var links = [];
  var slides = [];
  var viewer = null;
  var pushed = false; // the viewer added an entry to the history, which closing takes back
  var closeAsked = false; // Back came while the viewer was still opening, which ignores a close

  function escapeAttribute(text) {
    return String(text).replace(/&/g, '&amp;').replace(/"/g, '&quot;').replace(/</g, '&lt;');
  }

  // The denser thumbnail as poster or sound picture: the 3x one is the sharpest made.
  function bestThumbnail(img) {
    var srcset = img.getAttribute('srcset');
    if (!srcset) {
      return img.getAttribute('src');
    }
    var last = srcset.split(',').pop().trim();
    return last.slice(0, last.lastIndexOf(' '));
  }

  function slideOf(link) {
    var slide = contentOf(link);
    // The alt text is the item's caption when the page marks it so.
    var img = link.querySelector('img');
    slide.caption = img && link.hasAttribute('data-captioned') ? img.getAttribute('alt') : '';
    return slide;
  }

  function contentOf(link) {
    var img = link.querySelector('img');
    var alt = img ? img.getAttribute('alt') : '';
    var size = (link.getAttribute('data-size') || '').split('x');
    var width = Number(size[0]) || 0;
    var height = Number(size[1]) || 0;
    var href = link.getAttribute('href');
    var movie = link.getAttribute('data-movie');
    var original = link.getAttribute('data-original');
    if (movie) {
      return {
        html: '<div class="pswp__aw-media"><video controls playsinline preload="none" src="' +
          escapeAttribute(movie) + '" poster="' + escapeAttribute(bestThumbnail(img)) + '" aria-label="' +
          escapeAttribute(alt) + '"></video></div>',
        element: link,
        original: original
      };
    }
    if (link.hasAttribute('data-sound')) {
      return {
        html: '<div class="pswp__aw-media"><img src="' + escapeAttribute(bestThumbnail(img)) + '" alt="' +
          escapeAttribute(alt) + '"><audio controls preload="none" src="' +
          escapeAttribute(link.getAttribute('data-sound') || href) +
          '" aria-label="' + escapeAttribute(alt) + '"></audio></div>',
        element: link,
        original: original
      };
    }
    if (!width || !height) {
      // A picture of unknown size is shown in its thumbnail's shape, as large as the screen allows.
      width = img ? Number(img.getAttribute('width')) * 16 : 2048;
      height = img ? Number(img.getAttribute('height')) * 16 : 1536;
    }
    return { src: href, width: width, height: height, alt: alt, msrc: img ? img.currentSrc || img.src : '',
      element: link, original: original };
  }

  // The slides, gathered when the viewer is first wanted: a page of thousands of items loads without it.
  function collect() {
    if (slides.length) {
      return;
    }
    var all = main.querySelectorAll('a[href]');
    for (var i = 0; i < all.length; i++) {
      // A movie no browser plays stays a plain link to its file.
      if (all[i].getAttribute('data-movie') === '') {
        continue;
      }
      all[i].setAttribute('data-index', String(links.length));
      links.push(all[i]);
      slides.push(slideOf(all[i]));
    }
  }

  function itemId(index) {
    return links[index].parentNode.id;
  }

  function mediaIn(content) {
    return content && content.element ? content.element.querySelector('video, audio') : null;
  }

  function withLibrary(then, otherwise) {
    if (window.PhotoSwipe) {
      then();
      return;
    }
    if (waiting) {
      waiting.push([then, otherwise]);
      return;
    }
    waiting = [[then, otherwise]];
    var missing = 2;
    function loaded(ok) {
      missing = ok ? missing - 1 : -1;
      if (missing === 0 || (!ok && waiting)) {
        var calls = waiting;
        waiting = null;
        calls.forEach(function (call) { (ok && window.PhotoSwipe ? call[0] : call[1])(); });
      }
    }
    var style = document.createElement('link');
    style.rel = 'stylesheet';
    style.href = folder + 'photoswipe.css';
    style.onload = function () { loaded(true); };
    style.onerror = function () { loaded(false); };
    document.head.appendChild(style);
    var library = document.createElement('script');
    library.src = folder + 'photoswipe.umd.min.js';
    library.onload = function () { loaded(true); };
    library.onerror = function () { loaded(false); };
    document.head.appendChild(library);
  }

  // The viewer may still move a slide between its holders when it becomes active: play once it stands.
  function playWhenShown(media, tries) {
    if (!viewer || mediaIn(viewer.currSlide && viewer.currSlide.content) !== media) {
      return;
    }
    if (media.isConnected) {
      media.play().catch(function () {}); // a refused autoplay leaves the poster and the controls
    } else if (tries < 40) {
      setTimeout(function () { playWhenShown(media, tries + 1); }, 25);
    }
  }

  function open(index, fromAddress) {
    if (viewer) {
      return;
    }
    viewer = new window.PhotoSwipe({
      dataSource: slides,
      index: index,
      wheelToZoom: true,
      bgOpacity: 1, // the page behind would show through, its text as dark as the backdrop
      returnFocus: false, // the thumbnail of the item last shown gets it (below)
      closeTitle: labels[1],
      zoomTitle: labels[2],
      arrowPrevTitle: labels[3],
      arrowNextTitle: labels[4],
      errorMsg: labels[5],
      showHideAnimationType: 'fade'
    });
    if (!fromAddress) {
      history.pushState({ awViewer: true }, '', '#' + itemId(index));
      pushed = true;
    }
    closeAsked = false;
    viewer.on('openingAnimationEnd', function () {
      if (closeAsked) {
        viewer.close();
      }
    });
    viewer.on('change', function () {
      history.replaceState(history.state, '', '#' + itemId(viewer.currIndex));
    });
    viewer.on('contentActivate', function (event) {
      var media = mediaIn(event.content);
      if (media) {
        playWhenShown(media, 0);
      }
    });
    viewer.on('contentDeactivate', function (event) {
      var media = mediaIn(event.content);
      if (media) {
        media.pause();
      }
    });
    if (slides.some(function (slide) { return slide.original; })) {
      viewer.on('uiRegister', function () {
        viewer.ui.registerElement({
          name: 'original',
          order: 8,
          isButton: true,
          tagName: 'a',
          html: '&#x2193;',
          title: labels[6],
          onInit: function (element, pswp) {
            element.setAttribute('download', '');
            element.setAttribute('target', '_blank');
            pswp.on('change', function () {
              var original = pswp.currSlide.data.original;
              element.hidden = !original;
              if (original) {
                element.href = original;
              }
            });
          }
        });
      });
    }
    if (slides.some(function (slide) { return slide.caption; })) {
      viewer.on('uiRegister', function () {
        viewer.ui.registerElement({
          name: 'aw-caption',
          order: 9,
          isButton: false,
          appendTo: 'root',
          onInit: function (element, pswp) {
            pswp.on('change', function () {
              element.textContent = pswp.currSlide.data.caption || '';
              element.hidden = !pswp.currSlide.data.caption;
            });
          }
        });
      });
    }
    viewer.on('destroy', function () {
      var link = links[viewer.currIndex];
      viewer = null;
      if (pushed) {
        pushed = false;
        history.back();
      } else {
        history.replaceState(null, '', location.pathname + location.search);
      }
      if (link) {
        link.focus();
      }
    });
    viewer.init();
    var dialog = viewer.element;
    dialog.setAttribute('aria-modal', 'true');
    dialog.setAttribute('aria-label', labels[0]);
  }

  function indexFromAddress() {
    collect();
    var id = location.hash.slice(1);
    try {
      id = decodeURIComponent(id);
    } catch (error) {
      return -1; // an address no link of the album gives
    }
    var item = id ? document.getElementById(id) : null;
    var link = item ? item.querySelector('a[data-index]') : null;
    return link ? Number(link.getAttribute('data-index')) : -1;
  }

  main.addEventListener('click', function (event) {
    if (event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey || event.altKey) {
      return;
    }
    collect();
    var link = event.target.closest ? event.target.closest('a[data-index]') : null;
    if (!link) {
      return;
    }
    event.preventDefault();
    withLibrary(function () {
      open(Number(link.getAttribute('data-index')), false);
    }, function () {
      location.href = link.href; // without the viewer the link does what it always did
    });
  });
  window.addEventListener('popstate', function () {
    if (viewer) {
      pushed = false; // Back already took the entry away
      closeAsked = true;
      viewer.close();
    }
  });
  // An address of one item, given when the page loads or later in the same tab, opens it.
  function openFromAddress() {
    var index = indexFromAddress();
    if (index >= 0 && !viewer) {
      withLibrary(function () {
        open(index, true);
      }, function () {});
    }
  }
  window.addEventListener('hashchange', openFromAddress);
  openFromAddress();
})();
