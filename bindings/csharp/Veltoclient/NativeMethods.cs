// The C interface (veltoclient_c.h) as P/Invoke declarations. Every function and callback is
// cdecl, as the header states for 32-bit Windows; the names and types follow the header.
using System;
using System.Runtime.InteropServices;

namespace Qz.Veltoclient
{
    internal static class NativeMethods
    {
        // veltoclient_c.dll on Windows, libveltoclient_c.so on Linux.
        private const string Library = "veltoclient_c";

        [UnmanagedFunctionPointer(CallingConvention.Cdecl)]
        internal delegate void LoginDetailsCallback(IntPtr context, uint requestId, uint value1,
                                                    uint value2, uint value3);
        [UnmanagedFunctionPointer(CallingConvention.Cdecl)]
        internal delegate void VeltoServerCallback(IntPtr context, uint requestId, uint value);
        [UnmanagedFunctionPointer(CallingConvention.Cdecl)]
        internal delegate void HandleCallback(IntPtr context, uint requestId, uint result,
                                              IntPtr handle);
        [UnmanagedFunctionPointer(CallingConvention.Cdecl)]
        internal delegate void SavegameListCallback(IntPtr context, uint requestId,
                                                    IntPtr savegames, uint count);
        [UnmanagedFunctionPointer(CallingConvention.Cdecl)]
        internal delegate void ValueCallback(IntPtr context, uint requestId, uint value);
        [UnmanagedFunctionPointer(CallingConvention.Cdecl)]
        internal delegate void NetworkTrafficCallback(IntPtr context, uint requestId,
                                                      uint bytesRead, uint bytesWritten,
                                                      uint requests, uint answers);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern uint veltoclient_c_version();
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern IntPtr veltoclient_create();
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern void veltoclient_destroy(IntPtr client);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern uint veltoclient_get_installation_error_num(IntPtr client);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern IntPtr veltoclient_get_installation_error_string(IntPtr client,
                                                                                byte[] locale);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern void veltoclient_update(IntPtr client);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern uint veltoclient_get_request_unique_id(IntPtr client);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_start_launcher(IntPtr client, uint value1,
                                                              uint value2, byte[] text1,
                                                              byte[] text2);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern IntPtr veltoclient_get_loc_text(IntPtr client, IntPtr text,
                                                               byte[] locale);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_get_login_details(IntPtr client, uint requestId,
                                                                 LoginDetailsCallback callback,
                                                                 IntPtr context);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_get_velto_server(IntPtr client, uint requestId,
                                                                VeltoServerCallback callback,
                                                                IntPtr context, uint value1,
                                                                uint value2);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_get_savegame_reader(IntPtr client,
                                                                   uint requestId,
                                                                   HandleCallback callback,
                                                                   IntPtr context,
                                                                   uint productId,
                                                                   uint savegameId);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_get_savegame_writer(IntPtr client,
                                                                   uint requestId,
                                                                   HandleCallback callback,
                                                                   IntPtr context,
                                                                   uint productId,
                                                                   uint savegameId,
                                                                   int overwrite);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_get_savegame_list(IntPtr client, uint requestId,
                                                                 SavegameListCallback callback,
                                                                 IntPtr context,
                                                                 uint productId);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_remove_savegame(IntPtr client, uint requestId,
                                                               ValueCallback callback,
                                                               IntPtr context, uint productId,
                                                               uint savegameId);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_get_network_traffic(
            IntPtr client, uint requestId, NetworkTrafficCallback callback, IntPtr context);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern IntPtr veltoclient_savegame_info_at(IntPtr savegames, uint index);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern IntPtr veltoclient_savegame_info_get_name(IntPtr info);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern uint veltoclient_savegame_info_get_product_id(IntPtr info);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern uint veltoclient_savegame_info_get_savegame_id(IntPtr info);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern uint veltoclient_savegame_info_get_size(IntPtr info);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_reader_read(IntPtr reader, uint requestId,
                                                           ValueCallback callback,
                                                           IntPtr context, uint offset,
                                                           IntPtr buffer, uint size);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern void veltoclient_reader_close(IntPtr reader);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_writer_set_name(IntPtr writer, IntPtr name);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern int veltoclient_writer_write(IntPtr writer, uint requestId,
                                                            ValueCallback callback,
                                                            IntPtr context, IntPtr buffer,
                                                            uint size);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        internal static extern void veltoclient_writer_close(IntPtr writer, int commit);
    }

    /// Marks a static method that native code calls through a delegate, for ahead-of-time
    /// compiled runtimes, which look for an attribute of this name to make the method
    /// callable from native code.
    [AttributeUsage(AttributeTargets.Method)]
    internal sealed class MonoPInvokeCallbackAttribute : Attribute
    {
        public MonoPInvokeCallbackAttribute(Type delegateType)
        {
            DelegateType = delegateType;
        }

        public Type DelegateType { get; private set; }
    }
}
